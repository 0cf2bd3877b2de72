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
    {image::kColRxMode, "QT/DQT+信令", "QT/DQT+signal"}, {image::kColStartSignal, "双音3", "DTMF 3"},
    {image::kColEndSignal, "双音2+身份码", "DTMF 2+ID code"},  {image::kColPower, "低", "Low"},
    {image::kColBandwidth, "窄带", "Narrow"},                   {image::kColScrambler, "开", "On"},
};

// What the windows show of a word: its English in an English run; a word the catalogue has no
// English for, as it is stored.
QString seenOf(const Word& w) {
    const bool translated = base::CurrentLanguage() == base::Language::English &&
                            base::Catalogue(base::Language::English).count(w.stored);
    return QString::fromUtf8(translated ? w.english : w.stored);
}

// Row 1 takes each word from its list, row 2 from the clipboard, the band page's power list its
// word too.
image::EditorState chooseAndPaste(base::Language language) {
    base::LanguageScope scope(language);
    Program p;
    for (int row : {1, 2}) {
        p.enter(Band::Upper, image::kColRxFreq, row, "145");
        p.enter(Band::Upper, image::kColTxFreq, row, "150");
    }
    for (const Word& w : kWords) {
        SCOPED_TRACE(w.stored);
        const QString seen = seenOf(w);
        p.clickCell(Band::Upper, w.column, 1);
        p.choose(p.find<QComboBox>(("t" + std::to_string(editor::EditorNumber(w.column))).c_str()), seen);
        EXPECT_EQ(p.cell(Band::Upper, 1, w.column), seen);
        EXPECT_TRUE(p.grid(Band::Upper).model()->index(0, w.column).data(Qt::AccessibleTextRole).toString().endsWith(
            ", " + shell::Say(image::kGridHeadings[static_cast<std::size_t>(w.column)]) + ", " + seen));
        p.grid(Band::Upper).moveTo(w.column, 2);
        // An English word is taken in any case.
        QGuiApplication::clipboard()->setText(seen == QString::fromUtf8(w.stored) ? seen : seen.toLower());
        p.grid(Band::Upper).setFocus();
        p.key(Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(p.cell(Band::Upper, 2, w.column), seen);
    }
    p.showPage(1);
    p.choose(p.find<QComboBox>("left10"), seenOf({image::kColPower, "低", "Low"}));
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
