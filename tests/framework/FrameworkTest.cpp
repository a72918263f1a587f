#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/CFile.h"
#include "BaseCommon/framework/CPtrArray.h"
#include "BaseCommon/framework/CString.h"
#include "BaseCommon/framework/MessageBox.h"

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#endif

namespace {

TEST(CArray, EditingKeepsOrderAndValues) {
    CArray<int, int&> a;
    for (int i = 0; i < 100; ++i)
        a.Add(i);
    a.RemoveAt(10, 80);
    EXPECT_EQ(a[10], 90);
    int v = -1;
    a.InsertAt(1, v, 2);
    EXPECT_TRUE(a[0] == 0 && a[2] == -1 && a[3] == 1);
    a.SetAtGrow(30, v);
    EXPECT_EQ(a[29], 0);
    EXPECT_EQ(a.GetUpperBound(), 30);
    // Adding an element of the array itself while it grows must copy it first.
    CArray<int, int&> b;
    b.Add(v);
    for (int i = 0; i < 50; ++i)
        b.Add(b[0]);
    EXPECT_EQ(b[50], -1);
    CArray<int, int&> c(b);
    c[0] = 5;
    EXPECT_EQ(b[0], -1);
    a.RemoveAll();
    EXPECT_EQ(a.GetData(), nullptr);
    EXPECT_THROW(a.GetAt(0), CInvalidArgException);
    CArray<bool, bool&> flags;  // hands out references to its elements
    flags.SetSize(4);
    flags.ElementAt(2) = true;
    EXPECT_TRUE(flags[2] && !flags.GetData()[1] && !flags[3]);  // new elements value-initialised
}

std::vector<int> Contents(const CArray<int, int&>& a) {
    return std::vector<int>(a.GetData(), a.GetData() + a.GetSize());
}

// Indices outside [0, size), negative sizes, and index plus count past INT_MAX (which once
// wrapped to a negative count: the range check passed and the move ran with a negative
// length). Each request is impossible and must change nothing.
TEST(CArray, OutOfRangeIndicesAndCountsAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        std::function<void(CArray<int, int&>&)> op;
    };
    int v = 7;
    const Case cases[] = {
        {"GetAt(3)", [](CArray<int, int&>& a) { a.GetAt(3); }},
        {"[3]", [](CArray<int, int&>& a) { a[3]; }},
        {"ElementAt(-1)", [](CArray<int, int&>& a) { a.ElementAt(-1); }},
        {"SetAt(3, v)", [&](CArray<int, int&>& a) { a.SetAt(3, v); }},
        {"RemoveAt(2, 2)", [](CArray<int, int&>& a) { a.RemoveAt(2, 2); }},
        {"SetSize(-1)", [](CArray<int, int&>& a) { a.SetSize(-1); }},
        {"RemoveAt(1, INT_MAX)", [](CArray<int, int&>& a) { a.RemoveAt(1, INT_MAX); }},
        {"RemoveAt(INT_MAX, 1)", [](CArray<int, int&>& a) { a.RemoveAt(INT_MAX, 1); }},
        {"SetAtGrow(INT_MAX)", [&](CArray<int, int&>& a) { a.SetAtGrow(INT_MAX, v); }},
        {"InsertAt(2, v, INT_MAX)", [&](CArray<int, int&>& a) { a.InsertAt(2, v, INT_MAX); }},
        {"InsertAt(INT_MAX, v, 1)", [&](CArray<int, int&>& a) { a.InsertAt(INT_MAX, v, 1); }},
        {"InsertAt(INT_MIN, v)", [&](CArray<int, int&>& a) { a.InsertAt(INT_MIN, v); }},
        {"RemoveAt(0, -1)", [](CArray<int, int&>& a) { a.RemoveAt(0, -1); }},
        {"SetSize(INT_MIN)", [](CArray<int, int&>& a) { a.SetSize(INT_MIN, 3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CArray<int, int&> a;
        for (int i = 1; i <= 3; ++i)
            a.Add(i);
        EXPECT_THROW(c.op(a), CInvalidArgException);
        EXPECT_EQ(Contents(a), (std::vector<int>{1, 2, 3}));
        a.Add(v);  // still usable with its old growth step
        EXPECT_EQ(a.GetSize(), 4);
    }
}

TEST(CArray, HugeGrowStepDoesNotTurnOneAddIntoGigabytes) {
    CArray<double, double&> a;
    a.SetSize(1, INT_MAX);
    double v = 2.5;
    for (int i = 0; i < 10; ++i)
        a.Add(v);
    EXPECT_EQ(a.GetSize(), 11);
    EXPECT_EQ(a[10], 2.5);
}

// A seek whose target leaves int64 used to overflow the sum; a write or length past what a
// file can hold is refused before any allocation. Neither moves the position nor the data.
TEST(CMemFile, SeekAndGrowthBeyondTheRangeAreRefused) {
    const BYTE data[64] = {1, 2, 3};
    CMemFile f(data, 64);
    f.Seek(64, CFile::begin);
    EXPECT_THROW(f.Seek(INT64_MAX - 10, CFile::current), CInvalidArgException);
    EXPECT_THROW(f.Seek(INT64_MIN, CFile::end), CInvalidArgException);
    EXPECT_THROW(f.Seek(-65, CFile::current), CInvalidArgException);
    EXPECT_EQ(f.GetPosition(), 64u);
    EXPECT_EQ(f.Seek(INT64_MAX - 64, CFile::current), static_cast<std::uint64_t>(INT64_MAX));
    EXPECT_THROW(f.Write(data, 64), CMemoryException);
    EXPECT_THROW(f.SetLength(UINT64_MAX), CMemoryException);
    EXPECT_EQ(f.GetLength(), 64u);
    EXPECT_EQ(f.GetPosition(), static_cast<std::uint64_t>(INT64_MAX));
    BYTE b = 0;
    EXPECT_EQ(f.Read(&b, 1), 0u);
    f.SeekToBegin();
    EXPECT_EQ(f.Read(&b, 1), 1u);
    EXPECT_EQ(b, 1);
}

struct Item {
    int id;
};

TEST(CTypedPtrArray, TypedSlotsShareTheUntypedStorage) {
    Item a{1}, b{2}, c{3};
    CTypedPtrArray<CPtrArray, Item*> arr;
    arr.Add(&a);
    arr.Add(&b);
    arr.ElementAt(1) = &c;
    EXPECT_EQ(arr.GetAt(1)->id, 3);
    EXPECT_EQ(arr[0]->id, 1);
    EXPECT_THROW(arr.GetAt(2), CInvalidArgException);
    EXPECT_THROW(arr.SetAt(-1, &a), CInvalidArgException);
    // Inserting an array into itself duplicates the original contents.
    arr.InsertAt(1, &arr);
    ASSERT_EQ(arr.GetSize(), 4);
    EXPECT_TRUE(arr[0] == &a && arr[1] == &a && arr[2] == &c && arr[3] == &c);
    CTypedPtrArray<CPtrArray, Item*> other;
    other.Copy(arr);
    EXPECT_EQ(other.Append(arr), 4);
    EXPECT_EQ(other.GetSize(), 8);
    EXPECT_STREQ(arr.GetRuntimeClass()->m_lpszClassName, "CPtrArray");
}

TEST(CString, SearchSliceAndFormat) {
    CString s("LINE 1.5 2");
    EXPECT_EQ(s.Find(' '), 4);
    EXPECT_EQ(s.Find(' ', 5), 8);
    EXPECT_EQ(s.Find("2", 9), 9);
    EXPECT_EQ(s.Find("x"), -1);
    EXPECT_EQ(s.Mid(5, 3), "1.5");
    EXPECT_EQ(s.Left(4) + "S", "LINES");
    EXPECT_THROW(s.GetAt(10), CInvalidArgException);
    CString f;
    f.Format("%s-%d", std::string(5000, 'x').c_str(), 42);  // no fixed buffer
    EXPECT_EQ(f.GetLength(), 5003);
    EXPECT_EQ(f.Right(3), "-42");
}

// A C string of 2^31 characters (one more than INT_MAX) without 2 GiB of memory: one MiB of
// 'x' in a temporary file mapped 2048 times side by side, then a MiB of zeros that ends it.
TEST(CString, TextLongerThanIntMaxIsRefusedBeforeCopying) {
#if defined(__linux__)
    // Valgrind's strlen walks the 2 GiB a byte at a time (about 40 s of processor time).
    const char* preload = std::getenv("LD_PRELOAD");
    if (preload && std::strstr(preload, "vgpreload"))
        GTEST_SKIP() << "under valgrind";
    constexpr size_t kChunk = size_t(1) << 20, kChunks = size_t(1) << 11;
    FILE* tmp = std::tmpfile();
    ASSERT_NE(tmp, nullptr);
    const std::string chunk(kChunk, 'x');
    ASSERT_EQ(write(fileno(tmp), chunk.data(), kChunk), static_cast<ssize_t>(kChunk));
    const size_t total = kChunk * (kChunks + 1);
    void* base =
        mmap(nullptr, total, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    ASSERT_NE(base, MAP_FAILED);
    char* text = static_cast<char*>(base);
    bool mapped = true;
    for (size_t i = 0; i < kChunks && mapped; ++i)
        mapped = mmap(text + i * kChunk, kChunk, PROT_READ, MAP_SHARED | MAP_FIXED, fileno(tmp),
                      0) != MAP_FAILED;
    if (mapped) {
        EXPECT_THROW(CString{text}, CInvalidArgException);
        CString s("kept");
        EXPECT_THROW(s = text, CInvalidArgException);
        EXPECT_THROW(s += text, CInvalidArgException);
        EXPECT_EQ(s, "kept");
    }
    munmap(base, total);
    std::fclose(tmp);
    EXPECT_TRUE(mapped);
#else
    GTEST_SKIP() << "needs mmap of one file page range many times over";
#endif
}

TEST(MessageBox, RoutedToInstalledHandlerAndRestored) {
    std::string seen;
    UINT type = 99;
    MessageBoxHandler previous = SetMessageBoxHandler([&](const char* text, UINT nType, UINT) {
        seen = text;
        type = nType;
        return IDCANCEL;
    });
    EXPECT_EQ(AfxMessageBox("matrix is singular", MB_OK | MB_ICONERROR), IDCANCEL);
    EXPECT_EQ(seen, "matrix is singular");
    EXPECT_EQ(type, MB_OK | MB_ICONERROR);
    MessageBoxHandler mine = SetMessageBoxHandler(previous);
    EXPECT_TRUE(static_cast<bool>(mine));
    testing::internal::CaptureStderr();
    EXPECT_EQ(AfxMessageBox("to stderr"), IDOK);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("to stderr"), std::string::npos);
}

}  // namespace
