// The settings pages "上段设置", "下段设置", "综合设置", "双音频组" and "限频", laid out from
// the page tables: every control with its label and items, the hidden block fields with their
// invisible captions. Each control is bound to its place in the state; its events go to the
// page's handlers through the host.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "image/editor_state.h"
#include "image/message.h"

class QComboBox;
class QLineEdit;
class QWidget;

namespace shell {

// Which value of the state each control shows.
class Bindings {
public:
    using ListValue = std::function<int&(image::EditorState&)>;
    using EditValue = std::function<std::string&(image::EditorState&)>;

    void list(QComboBox* box, ListValue value);
    void edit(QLineEdit* edit, EditValue value);
    void field(QLineEdit* edit, int k);

    // Sets every control from the state without running a handler.
    void show(image::EditorState& state) const;

private:
    struct List {
        QComboBox* box;
        ListValue value;
    };
    struct Edit {
        QLineEdit* edit;
        EditValue value;
    };
    std::vector<List> lists_;
    std::vector<Edit> edits_;
};

// What the pages need of the main window.
struct PageHost {
    image::EditorState& state;
    Bindings& bindings;
    // Runs a handler over the state, shows its message, then the whole state. `edit` names the
    // edit whose text the handler takes in (its keys and its commit are one undo step), or "".
    std::function<void(const std::function<image::Message(image::EditorState&)>&, const std::string& edit)> run;
};

QWidget* BandPage(PageHost& host, image::Band band);
QWidget* GeneralPage(PageHost& host);
QWidget* DtmfPage(PageHost& host);
// With the buttons Button1 .. Button4 ("读取", "写入" for the message, then for the limits);
// the main window connects them.
QWidget* LimitsPage(PageHost& host);

}  // namespace shell
