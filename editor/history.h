// The editor's undo and redo: each step keeps the whole EditorState from before it, so an undo
// gives back every control and hidden field exactly as they were.
//
// The window records after everything that may have changed the state: a change of content
// is a step (the state as last recorded is kept), a change of the position fields alone is
// no step, but the next step's "before" holds the positions as they were just before it.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

#include "editor/types.h"

namespace editor {

// True when a and b differ in more than the position fields.
bool ContentDiffers(const EditorState& a, const EditorState& b);

class History {
public:
    static constexpr std::size_t kDefaultDepth = 200;
    explicit History(const EditorState& start, std::size_t depth = kDefaultDepth);

    // After anything that may have changed `now`. A non-empty `merge` names a run of small
    // changes to one control (the keys typed into one edit): a step that follows a step of
    // the same name at once joins it. Returns true when a step was added.
    bool record(const EditorState& now, const std::string& merge = {});
    // Takes `now` as it is without a step: a write or a save that touched no content, or what
    // the state became by an undo.
    void rebase(const EditorState& now);

    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    std::size_t undoSteps() const { return undo_.size(); }
    std::size_t redoSteps() const { return redo_.size(); }

    // The state to show after an undo (redo) from `now`; `now` itself when there is none.
    // `now` should have been recorded first.
    EditorState undo(const EditorState& now);
    EditorState redo(const EditorState& now);

private:
    // The last state of `from` becomes the state; `now` goes to `to`.
    EditorState travel(std::deque<EditorState>& from, std::deque<EditorState>& to, const EditorState& now);

    std::deque<EditorState> undo_, redo_;
    EditorState last_;
    std::string lastMerge_;
    std::size_t depth_;
};

}  // namespace editor
