#include "image/history.h"

namespace image {

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

EditorState History::undo(const EditorState& now) {
    if (undo_.empty()) return now;
    redo_.push_back(now);
    last_ = std::move(undo_.back());
    undo_.pop_back();
    lastMerge_.clear();
    return last_;
}

EditorState History::redo(const EditorState& now) {
    if (redo_.empty()) return now;
    undo_.push_back(now);
    last_ = std::move(redo_.back());
    redo_.pop_back();
    lastMerge_.clear();
    return last_;
}

}  // namespace image
