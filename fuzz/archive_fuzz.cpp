// Archive reader over arbitrary bytes: whole C2DPoint objects, any object by class name, class
// records, and raw reads of every type. Only CArchiveException may come out; nothing may be
// read out of bounds or leaked. Every point read is written back and read again, and must
// come back bit for bit (NaN payloads included).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

void CheckRoundTrip(const C2DPoint& p) {
    CMemFile file;
    {
        CArchive out(&file, CArchive::store);
        out << &p;
    }
    file.SeekToBegin();
    CArchive in(&file, CArchive::load);
    C2DPoint* q = nullptr;
    in >> q;
    FUZZ_CHECK(q != nullptr);
    FUZZ_CHECK(std::memcmp(&p.x, &q->x, sizeof p.x) == 0);
    FUZZ_CHECK(std::memcmp(&p.y, &q->y, sizeof p.y) == 0);
    delete q;
}

// One raw read chosen by a byte of the archive itself.
void RawRead(CArchive& ar) {
    BYTE sel;
    ar >> sel;
    switch (sel % 8) {
        case 0: {
            double d;
            ar >> d;
            break;
        }
        case 1: {
            WORD w;
            ar >> w;
            break;
        }
        case 2: {
            DWORD dw;
            ar >> dw;
            break;
        }
        case 3: {
            int i;
            ar >> i;
            break;
        }
        case 4: {
            float f;
            ar >> f;
            break;
        }
        case 5: {
            BYTE buf[32];
            const UINT want = sel / 8u;
            FUZZ_CHECK(ar.Read(buf, want) <= want);
            break;
        }
        case 6: {
            UINT schema = 0xFFFFFFFFu;
            const CRuntimeClass* c =
                ar.ReadClass(sel & 8 ? RUNTIME_CLASS(C2DPoint) : nullptr, &schema);
            FUZZ_CHECK(c != nullptr && schema == c->m_wSchema);
            break;
        }
        default: {
            CString s;
            ar >> s;
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20))
        return 0;
    // The first byte chooses how the rest is read, two bits per read, cycling.
    const uint8_t mode = data[0];
    CMemFile file(data + 1, static_cast<UINT>(size - 1));
    CArchive ar(&file, CArchive::load);
    // A back-reference hands out an object read earlier again: keep every object until the
    // archive is done, then free each once.
    std::set<CObject*> objects;
    try {
        for (int i = 0; i < 64; ++i) {
            switch ((mode >> (i % 4 * 2)) & 3) {
                case 0: {
                    C2DPoint* p = nullptr;
                    ar >> p;
                    objects.insert(p);
                    if (p)
                        CheckRoundTrip(*p);
                    break;
                }
                case 1: {
                    objects.insert(ar.ReadObject(nullptr));
                    break;
                }
                case 2:
                    RawRead(ar);
                    break;
                default: {
                    CString s;
                    ar >> s;
                    break;
                }
            }
        }
    } catch (const CArchiveException&) {
    }
    for (CObject* ob : objects)
        delete ob;
    return 0;
}
