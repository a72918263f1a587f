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

// A new-class record for the given name and schema, followed by `extra` bytes of data.
std::vector<BYTE> NewClassRecord(const char* name, int schema, size_t extra) {
    std::vector<BYTE> b = {0xFF, 0xFF, BYTE(schema & 0xFF), BYTE(schema >> 8)};
    const auto len = static_cast<int>(std::strlen(name));
    b.push_back(static_cast<BYTE>(len));
    b.push_back(0);
    b.insert(b.end(), name, name + len);
    b.resize(b.size() + extra, 0);
    return b;
}

// The cause of the CArchiveException that op throws; -1 when it throws none.
template <class Op>
int Cause(Op op) {
    try {
        op();
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return -1;
}

int ReadCause(const std::vector<BYTE>& data, const CRuntimeClass* requested) {
    CMemFile f(data.data(), static_cast<UINT>(data.size()));
    CArchive ar(&f, CArchive::load);
    return Cause([&] { delete ar.ReadObject(requested); });
}

TEST(CArchive, MalformedObjectStreamsAreRefusedWithTheirCause) {
    struct Case {
        const char* what;
        std::vector<BYTE> data;
        const CRuntimeClass* requested;
        int cause;
    } cases[] = {
        {"unknown class", NewClassRecord("CNoSuchClass", 0, 16), nullptr,
         CArchiveException::badClass},
        {"wrong schema", NewClassRecord("C2DPoint", 1, 16), nullptr, CArchiveException::badSchema},
        {"other class", NewClassRecord("CTestTag", 3, 4), RUNTIME_CLASS(C2DPoint),
         CArchiveException::badClass},
        {"undefined class ref", {0x01, 0x80}, nullptr, CArchiveException::badIndex},
        {"undefined object ref", {0x05, 0x00}, nullptr, CArchiveException::badIndex},
        {"big tag undefined", {0xFF, 0x7F, 0x09, 0, 0, 0x80}, nullptr, CArchiveException::badIndex},
        {"zero-length name", {0xFF, 0xFF, 0, 0, 0, 0}, nullptr, CArchiveException::badClass},
        {"oversized name",
         {0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 'C'},
         nullptr,
         CArchiveException::badClass},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadCause(c.data, c.requested), c.cause) << c.what;
}

TEST(CArchive, WrongDirectionClosedAndOverlongReadsThrowWithTheirCause) {
    CMemFile f;
    CArchive store(&f, CArchive::store), load(&f, CArchive::load);
    double d = 0;
    EXPECT_EQ(Cause([&] { store >> d; }), CArchiveException::writeOnly);
    EXPECT_EQ(Cause([&] { delete store.ReadObject(nullptr); }), CArchiveException::writeOnly);
    EXPECT_EQ(Cause([&] { load << 1.0; }), CArchiveException::readOnly);
    load.Close();
    EXPECT_EQ(Cause([&] { load >> d; }), CArchiveException::genericException);
    // A string length of 2^31 - 1 with two bytes present: no allocation of that size.
    const std::vector<BYTE> data = {0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b'};
    CMemFile cut(data.data(), static_cast<UINT>(data.size()));
    CArchive ar(&cut, CArchive::load);
    CString s;
    EXPECT_EQ(Cause([&] { ar >> s; }), CArchiveException::endOfFile);
}

TEST(CArchive, RoundTripIsLittleEndianRepeatsAreReferencesAndEveryTruncationThrows) {
    C2DPoint a(1.5, -2.25), b(3, 4);
    CTestTag t;
    t.m_value = -7;
    CMemFile f;
    {
        CArchive ar(&f, CArchive::store);
        ar << static_cast<WORD>(0x1234) << static_cast<DWORD>(0xA1B2C3D4u) << -5 << 2.5f
           << CString("beam B-1");
        ar << &a << &t << &a << &t << &b << static_cast<const CObject*>(nullptr);
    }
    EXPECT_TRUE(f.GetBuffer()[0] == 0x34 && f.GetBuffer()[2] == 0xD4);  // little-endian
    const auto n = static_cast<UINT>(f.GetLength());
    for (UINT len = 0; len <= n; ++len) {
        CMemFile cut(f.GetBuffer(), len);
        CArchive ar(&cut, CArchive::load);
        WORD w = 0;
        DWORD d = 0;
        int i = 0;
        float x = 0;
        CString s;
        std::unique_ptr<CObject> pa, pt, pb;
        try {
            ar >> w >> d >> i >> x >> s;
            pa.reset(ar.ReadObject(RUNTIME_CLASS(C2DPoint)));
            pt.reset(ar.ReadObject(nullptr));
            EXPECT_EQ(ar.ReadObject(RUNTIME_CLASS(C2DPoint)), pa.get());
            // A back-reference of the wrong class is refused rather than cast.
            EXPECT_THROW(ar.ReadObject(RUNTIME_CLASS(C2DPoint)), CArchiveException);
            C2DPoint* p = nullptr;
            ar >> p;  // its class by reference
            pb.reset(p);
            CObject* pNull = &a;
            ar >> pNull;
            EXPECT_EQ(pNull, nullptr);
        } catch (const CArchiveException& e) {
            EXPECT_EQ(e.m_cause, CArchiveException::endOfFile) << len;
            EXPECT_LT(len, n);
            continue;
        }
        EXPECT_EQ(len, n) << "read past the data";
        EXPECT_TRUE(w == 0x1234 && d == 0xA1B2C3D4u && i == -5 && x == 2.5f && s == "beam B-1");
        EXPECT_EQ(static_cast<C2DPoint*>(pa.get())->y, -2.25);
        EXPECT_EQ(static_cast<CTestTag*>(pt.get())->m_value, -7);
        EXPECT_EQ(static_cast<C2DPoint*>(pb.get())->y, 4.0);
    }
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

}  // namespace
