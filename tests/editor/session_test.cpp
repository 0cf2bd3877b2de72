// The editor session: every command on one path, whatever the command.
#include <gtest/gtest.h>

#include <filesystem>

#include "editor/session.h"
#include "editor/row_operations.h"

namespace {

struct Answers : editor::Operator {
    std::optional<std::string> file;
    bool confirm(const std::string&, const std::string&) override { return true; }
    std::optional<std::string> fileToOpen(const std::string&, const std::string&) override { return file; }
    std::optional<std::string> fileToSave(const std::string&, const std::string&) override { return file; }
    std::optional<int> number(const std::string&, int value, int, int) override { return value; }
    std::optional<std::string> text(const std::string&, const std::string& initial) override { return initial; }
};

}  // namespace

// A cell editor is open with "145" typed when the command comes: its commit is a step of its
// own, before the command's step or its refusal.
TEST(Session, EveryCommandEndsTheEditRefusesWhileTheRadioIsBusyAndIsOneStep) {
    Answers answers;
    answers.file = (std::filesystem::temp_directory_path() / "session_test.bc").string();
    {
        editor::Session source(answers);
        source.state().upper.at(1, 1) = "150.00000";
        ASSERT_EQ(source.Save().text, "保存成功!");
    }
    using Command = editor::Report (editor::Session::*)();
    const struct {
        const char* name;
        Command command;
        std::size_t steps;  // undo steps afterwards
    } commands[] = {{"New", &editor::Session::New, 2},
                    {"Open", &editor::Session::Open, 2},
                    {"Undo", &editor::Session::Undo, 0},
                    {"Redo", &editor::Session::Redo, 1}};
    for (const bool busy : {true, false}) {
        for (const auto& c : commands) {
            editor::Session session(answers);
            bool editOpen = true;
            session.finishEdit = [&] {
                if (!editOpen) return;
                editOpen = false;
                session.state().upper.at(1, 1) = "145.00000";
                session.record();
            };
            session.radioBusy = [&] { return busy; };
            const editor::Report report = (session.*c.command)();
            EXPECT_FALSE(editOpen) << c.name;
            EXPECT_EQ(report.text, busy ? editor::kBusyText : "") << c.name;
            EXPECT_EQ(session.history().undoSteps(), busy ? 1 : c.steps) << c.name << (busy ? " busy" : "");
        }
    }
    std::filesystem::remove(*answers.file);
}

TEST(Session, CloseGapsMovesTheChannelsUpInTheirOrderAsOneStep) {
    Answers answers;
    editor::Session session(answers);
    image::Grid& grid = session.state().lower;
    grid.at(3, image::kColRxFreq) = "145.00000";
    grid.at(7, image::kColRxFreq) = "435.00000";
    grid.at(7, image::kColName) = "B";
    session.record();
    session.CloseGaps({image::Band::Lower, {1}, 0, 0, {}});
    EXPECT_EQ(grid.at(1, image::kColRxFreq), "145.00000");
    EXPECT_EQ(grid.at(2, image::kColRxFreq), "435.00000");
    EXPECT_EQ(grid.at(2, image::kColName), "B");
    EXPECT_FALSE(editor::RowSet(grid, 3));
    EXPECT_EQ(session.history().undoSteps(), 2u);
}
