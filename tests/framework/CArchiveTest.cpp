#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <stdexcept>
#include <vector>

#include "BaseCommon/framework/CArchive.h"
#include "BaseCommon/framework/CFile.h"
#include "BaseCommon/geometry/C2DPoint.h"

// A second serialisable class, to tell "another class" apart from "unknown class".
class CTestTag : public CObject {
    DECLARE_SERIAL(CTestTag)
public:
    int m_value = 0;
    static bool s_failNextLoad;
    void Serialize(CArchive& ar) override {
        if (ar.IsStoring()) {
            ar << m_value;
        } else {
            ar >> m_value;
            if (s_failNextLoad) {
                s_failNextLoad = false;
                throw std::runtime_error("value refused");
            }
        }
    }
};
CArchive& operator>>(CArchive& ar, CTestTag*& pOb);
IMPLEMENT_SERIAL(CTestTag, CObject, 3)
bool CTestTag::s_failNextLoad = false;

namespace {

std::vector<BYTE> Bytes(std::initializer_list<int> v) {
    std::vector<BYTE> b;
    for (int x : v)
        b.push_back(static_cast<BYTE>(x));
    return b;
}

// A new-class record for the given name and schema, followed by `extra` bytes of data.
std::vector<BYTE> NewClassRecord(const char* name, int schema, size_t extra) {
    std::vector<BYTE> b = Bytes({0xFF, 0xFF, schema & 0xFF, schema >> 8});
    const auto len = static_cast<int>(std::strlen(name));
    b.push_back(static_cast<BYTE>(len));
    b.push_back(0);
    b.insert(b.end(), name, name + len);
    b.resize(b.size() + extra, 0);
    return b;
}

int ReadCause(const std::vector<BYTE>& data, const CRuntimeClass* requested) {
    CMemFile f(data.data(), static_cast<UINT>(data.size()));
    CArchive ar(&f, CArchive::load);
    try {
        std::unique_ptr<CObject> ob(ar.ReadObject(requested));
        return -1;
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
}

TEST(CArchive, MalformedObjectStreamsAreRefusedWithTheirCause) {
    struct Case {
        const char* what;
        std::vector<BYTE> data;
        const CRuntimeClass* requested;
        int cause;
    } cases[] = {
        {"empty", {}, RUNTIME_CLASS(C2DPoint), CArchiveException::endOfFile},
        {"unknown class", NewClassRecord("CNoSuchClass", 0, 16), nullptr,
         CArchiveException::badClass},
        {"wrong schema", NewClassRecord("C2DPoint", 1, 16), nullptr, CArchiveException::badSchema},
        {"other class", NewClassRecord("CTestTag", 3, 4), RUNTIME_CLASS(C2DPoint),
         CArchiveException::badClass},
        {"undefined class ref", Bytes({0x01, 0x80}), nullptr, CArchiveException::badIndex},
        {"undefined object ref", Bytes({0x05, 0x00}), nullptr, CArchiveException::badIndex},
        {"big tag undefined", Bytes({0xFF, 0x7F, 0x09, 0, 0, 0x80}), nullptr,
         CArchiveException::badIndex},
        {"zero-length name", Bytes({0xFF, 0xFF, 0, 0, 0, 0}), nullptr, CArchiveException::badClass},
        {"oversized name", Bytes({0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 'C'}), nullptr,
         CArchiveException::badClass},
        {"name cut short", Bytes({0xFF, 0xFF, 0, 0, 8, 0, 'C', '2'}), nullptr,
         CArchiveException::endOfFile},
        {"data cut short", NewClassRecord("C2DPoint", 0, 15), nullptr,
         CArchiveException::endOfFile},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCause(c.data, c.requested), c.cause) << c.what;
}

TEST(CArchive, WrongDirectionThrows) {
    CMemFile f;
    CArchive store(&f, CArchive::store);
    double d = 0;
    EXPECT_THROW(store >> d, CArchiveException);
    EXPECT_THROW(store.ReadObject(nullptr), CArchiveException);
    CArchive load(&f, CArchive::load);
    C2DPoint p;
    try {
        load << 1.0;
        FAIL();
    } catch (const CArchiveException& e) {
        EXPECT_EQ(e.m_cause, CArchiveException::readOnly);
    }
    EXPECT_THROW(p.Serialize(load), CArchiveException);  // reads past the (empty) data
    load.Close();
    EXPECT_THROW(load >> d, CArchiveException);
}

TEST(CArchive, RepeatedObjectsAndClassesAreWrittenOnceAndReferenced) {
    C2DPoint a(1, 2);
    CTestTag t;
    t.m_value = -7;
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar << &a << &t << &a << &t;
        C2DPoint b(5, 6);
        ar << &b;  // second point: class by reference
    }
    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    std::unique_ptr<CObject> pa(ar.ReadObject(RUNTIME_CLASS(C2DPoint)));
    std::unique_ptr<CObject> pt(ar.ReadObject(nullptr));
    EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(C2DPoint)), pa.get());
    // A back-reference of the wrong class is refused rather than cast.
    EXPECT_THROW(ar.ReadObject(RUNTIME_CLASS(C2DPoint)), CArchiveException);
    std::unique_ptr<CObject> pb(ar.ReadObject(RUNTIME_CLASS(C2DPoint)));
    ASSERT_TRUE(pb && pt);
    EXPECT_EQ(static_cast<CTestTag*>(pt.get())->m_value, -7);
    EXPECT_EQ(static_cast<C2DPoint*>(pb.get())->y, 6.0);
}

TEST(CArchive, ObjectWhoseDataFailToLoadIsFreedAndNotReferencedLater) {
    CTestTag t;
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar << &t << &t;
    }
    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    CTestTag::s_failNextLoad = true;
    EXPECT_THROW(ar.ReadObject(nullptr), std::runtime_error);
    // The second record refers to the failed object: it must not hand out a dangling pointer.
    EXPECT_THROW(ar.ReadObject(nullptr), CArchiveException);
}

TEST(CArchive, StringsAndScalarsRoundTripLittleEndian) {
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar << static_cast<WORD>(0x1234) << static_cast<DWORD>(0xA1B2C3D4u) << -5 << 2.5f
           << CString("beam B-1");
    }
    EXPECT_EQ(f.GetBuffer()[0], 0x34);
    EXPECT_EQ(f.GetBuffer()[2], 0xD4);
    f.SeekToBegin();
    CArchive ar(&f, CArchive::load);
    WORD w;
    DWORD d;
    int i;
    float x;
    CString s;
    ar >> w >> d >> i >> x >> s;
    EXPECT_EQ(w, 0x1234);
    EXPECT_EQ(d, 0xA1B2C3D4u);
    EXPECT_EQ(i, -5);
    EXPECT_EQ(x, 2.5f);
    EXPECT_EQ(s, "beam B-1");
}

TEST(CArchive, CorruptStringLengthFailsWithoutHugeAllocation) {
    const std::vector<BYTE> data = Bytes({0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'});
    CMemFile f(data.data(), static_cast<UINT>(data.size()));
    CArchive ar(&f, CArchive::load);
    CString s;
    EXPECT_THROW(ar >> s, CArchiveException);
}

}  // namespace
