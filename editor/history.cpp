#include "editor/history.h"

namespace editor {

bool ContentDiffers(const EditorState& a, const EditorState& b) {
    return a.upper != b.upper || a.lower != b.lower || a.upperBand != b.upperBand || a.lowerBand != b.lowerBand ||
           a.general != b.general || a.dtmf != b.dtmf || a.limits != b.limits || a.k != b.k;
}

History::History(const EditorState& start, std::size_t depth) : last_(start), depth_(depth < 1 ? 1 : depth) {}

bool History::record(const EditorState& now, const std::string& merge) {
    if (!ContentDiffers(last_, now)) {
        last_ = now;
        return false;
    }
    const bool joins = !merge.empty() && merge == lastMerge_ && !undo_.empty();
    if (!joins) {
        undo_.push_back(last_);
        if (undo_.size() > depth_) undo_.pop_front();
    }
    redo_.clear();
    last_ = now;
    lastMerge_ = merge;
    return !joins;
}

void History::rebase(const EditorState& now) {
    last_ = now;
    lastMerge_.clear();
}

EditorState History::undo(const EditorState& now) { return travel(undo_, redo_, now); }

EditorState History::redo(const EditorState& now) { return travel(redo_, undo_, now); }

EditorState History::travel(std::deque<EditorState>& from, std::deque<EditorState>& to, const EditorState& now) {
    if (from.empty()) return now;
    to.push_back(now);
    last_ = std::move(from.back());
    from.pop_back();
    lastMerge_.clear();
    return last_;
}

}  // namespace editor
