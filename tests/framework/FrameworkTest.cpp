#include <gtest/gtest.h>

#include <string>

#include "BaseCommon/framework/CArray.h"
#include "BaseCommon/framework/CException.h"
#include "BaseCommon/framework/CPtrArray.h"
#include "BaseCommon/framework/CString.h"
#include "BaseCommon/framework/MessageBox.h"

namespace {

TEST(CArray, IndexedAccessOutsideTheArrayThrows) {
    CArray<double, double&> a;
    EXPECT_THROW(a.GetAt(0), CInvalidArgException);
    a.SetSize(3);
    EXPECT_EQ(a[2], 0.0);  // new elements are value-initialised
    EXPECT_THROW(a[3], CInvalidArgException);
    EXPECT_THROW(a.ElementAt(-1), CInvalidArgException);
    EXPECT_THROW(a.SetAt(3, a[0]), CInvalidArgException);
    EXPECT_THROW(a.RemoveAt(2, 2), CInvalidArgException);
    EXPECT_THROW(a.SetSize(-1), CInvalidArgException);
    EXPECT_EQ(a.GetSize(), 3);
}

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
    CArray<bool, bool&> flags;  // hands out references to its elements
    flags.SetSize(4);
    flags.ElementAt(2) = true;
    EXPECT_TRUE(flags[2] && !flags.GetData()[1]);
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
