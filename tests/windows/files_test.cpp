// The files layer on Windows: the atomic writer and the bounded reader by wide names (a
// folder with Chinese letters), their refusals, and the temporaries a killed writer left.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "files/atomic_write.h"
#include "files/folders.h"
#include "files/read_file.h"
#include "files/wide_path_win.h"

namespace {

using base::ErrorKind;

// A fresh folder under the temporary folder, its name in Chinese, removed with what it holds.
struct Folder {
    std::string path;
    Folder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        path = files::Narrow(temp) + "对讲机-" + std::to_string(::GetCurrentProcessId()) + "\\备份\\写频";
        EXPECT_TRUE(files::MakePrivateFolders(path).ok());
    }
    ~Folder() {
        WIN32_FIND_DATAW entry{};
        const std::wstring dir = files::Widen(path);
        HANDLE search = ::FindFirstFileW((dir + L"\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = dir + L"\\" + entry.cFileName;
                ::SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileW(name.c_str());
            } while (::FindNextFileW(search, &entry));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(dir.c_str());
    }
    std::string operator/(const std::string& name) const { return path + "\\" + name; }
    int count() const {
        WIN32_FIND_DATAW entry{};
        HANDLE search = ::FindFirstFileW((files::Widen(path) + L"\\*").c_str(), &entry);
        int n = 0;
        if (search == INVALID_HANDLE_VALUE) return 0;
        do n += !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
        while (::FindNextFileW(search, &entry));
        ::FindClose(search);
        return n;
    }
};

TEST(WindowsFiles, WritesReplacesAndReadsByWideNames) {
    Folder folder;
    const std::string file = folder / "频道.bc";
    for (const std::string& bytes : {std::string("first\r\n\0\xFF", 9), std::string(70000, 'x'), std::string()}) {
        ASSERT_TRUE(files::WriteAtomically(file, bytes).ok());
        const auto read = files::ReadFile(file, 70000);
        ASSERT_TRUE(read.ok()) << read.message();
        EXPECT_EQ(read.value, bytes);
        EXPECT_EQ(folder.count(), 1);  // no temporary left beside it
    }
}

TEST(WindowsFiles, RefusesWhatIsNoFileToReadOrWrite) {
    Folder folder;
    const std::string file = folder / "a.img";
    ASSERT_TRUE(files::WriteAtomically(file, "12345").ok());
    struct Case {
        base::Outcome<std::string> outcome;
        ErrorKind kind;
    } cases[] = {
        {files::ReadFile(file, 4), ErrorKind::TooLarge},
        {files::ReadFile(folder / "missing.bc", 100), ErrorKind::NotFound},
        {files::ReadFile(folder.path, 100), ErrorKind::Folder},
        {files::ReadFile("NUL", 100), ErrorKind::NotRegular},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.outcome.ok());
        EXPECT_EQ(c.outcome.kind, c.kind) << c.outcome.message();
    }
    EXPECT_EQ(files::WriteAtomically(folder.path, "x").kind, ErrorKind::Folder);
    EXPECT_EQ(files::WriteAtomically(folder / "no such folder\\x.bc", "x").kind, ErrorKind::NotFound);
    ::SetFileAttributesW(files::Widen(file).c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(files::WriteAtomically(file, "other").kind, ErrorKind::ReadOnly);
    EXPECT_EQ(files::ReadFile(file, 100).value, "12345");
}

// A temporary whose writer is gone and which is older than this program is removed (one named
// with our own number is an earlier process's that had it); one written since we started is not.
TEST(WindowsFiles, RemovesOnlyTheTemporariesOfGoneWriters) {
    Folder folder;
    const std::string gone = folder / ".a.bc.tmp999999-0-0123456789abcdef";
    const std::string fresh = folder / ".b.bc.tmp999998-0-0123456789abcdef";
    const std::string earlier = folder / (".c.bc.tmp" + std::to_string(::GetCurrentProcessId()) + "-0-0123456789abcdef");
    for (const auto& name : {gone, fresh, earlier}) ASSERT_TRUE(files::WriteAtomically(name, "half").ok());
    for (const auto& name : {gone, earlier}) {
        HANDLE h = ::CreateFileW(files::Widen(name).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        FILETIME old{0x10000000, 0x01D00000};  // 2014
        ::SetFileTime(h, nullptr, nullptr, &old);
        ::CloseHandle(h);
    }
    EXPECT_EQ(files::RemoveStaleTemporaries(folder.path), 2);
    EXPECT_FALSE(files::ReadFile(gone, 100).ok());
    EXPECT_FALSE(files::ReadFile(earlier, 100).ok());
    EXPECT_TRUE(files::ReadFile(fresh, 100).ok());
}

TEST(WindowsFiles, SaysTheSystemsReason) {
    const auto read = files::ReadFile("C:\\no such folder\\x.bc", 10);
    EXPECT_EQ(read.kind, ErrorKind::NotFound);
    EXPECT_EQ(read.message().find("error "), std::string::npos) << read.message();  // a sentence, not a number
}

}  // namespace
