// The grids and pages in English: the words are shown in English, while what is chosen or
// pasted in English is stored as the Chinese value, so the state (and every file made of it)
// is the one a Chinese run makes.
#include <gtest/gtest.h>

#include <QClipboard>

#include "base/text.h"
#include "editor/grid_editing.h"
#include "shell/qt_text.h"
#include "tests/shell/window_fixture.h"

using image::Band;

namespace {

struct Word {
    int column;
    const char* stored;
    const char* english;
};
const Word kWords[] = {
    {image::kColStartSignal, "双音3", "DTMF 3"},
    {image::kColEndSignal, "双音2+身份码", "DTMF 2+ID code"},  {image::kColPower, "低", "Low"},
    {image::kColBandwidth, "窄带", "Narrow"},                   {image::kColScrambler, "开", "On"},
};

// Row 1 takes each word from its list, row 2 from the clipboard (in lower case), the band
// page's power list its word too.
image::EditorState chooseAndPaste(base::Language language) {
    base::LanguageScope scope(language);
    const bool english = language == base::Language::English;
    Program p;
    for (int row : {1, 2}) {
        p.enter(Band::Upper, image::kColRxFreq, row, "145");
        p.enter(Band::Upper, image::kColTxFreq, row, "150");
    }
    for (const Word& w : kWords) {
        SCOPED_TRACE(w.stored);
        const QString shown = shell::ShownWord(w.stored);
        p.clickCell(Band::Upper, w.column, 1);
        p.choose(p.find<QComboBox>(("t" + std::to_string(editor::EditorNumber(w.column))).c_str()), shown);
        p.grid(Band::Upper).moveTo(w.column, 2);
        QGuiApplication::clipboard()->setText(english ? shown.toLower() : shown);
        p.grid(Band::Upper).setFocus();
        p.key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(p.cell(Band::Upper, 2, w.column), p.cell(Band::Upper, 1, w.column));
        // The code tables' words have their English in the core's catalogue; the signalling
        // items are spelled by the grid.
        const bool signalling = w.column == image::kColStartSignal || w.column == image::kColEndSignal;
        if (!english || !(signalling || base::Catalogue(language).count(w.stored))) continue;
        EXPECT_EQ(p.cell(Band::Upper, 1, w.column), w.english);
        EXPECT_TRUE(p.grid(Band::Upper).model()->index(0, w.column).data(Qt::AccessibleTextRole).toString().endsWith(
            ", " + shell::Say(image::kGridHeadings[static_cast<std::size_t>(w.column)]) + ", " + w.english));
    }
    p.showPage(1);
    p.choose(p.find<QComboBox>("left10"), shell::ShownWord("低"));
    EXPECT_TRUE(p.prompter.infos.empty()) << p.prompter.texts().join("|").toStdString();
    return p.form2().state();
}

TEST(GridInEnglish, ShowsEnglishWordsAndStoresTheChineseValues) {
    const image::EditorState english = chooseAndPaste(base::Language::English);
    const image::EditorState chinese = chooseAndPaste(base::Language::Chinese);
    for (int row : {1, 2}) {
        const auto cells = [row](const image::EditorState& s) {
            const auto& r = s.upper.cells[static_cast<std::size_t>(row)];
            return std::vector<std::string>(r.begin(), r.end());
        };
        EXPECT_EQ(cells(english), cells(chinese)) << "row " << row;
    }
    EXPECT_TRUE(english == chinese);
}

}  // namespace
