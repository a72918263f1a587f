// Archive reader over arbitrary bytes: whole C2DPoint objects, any object by class name, class
// records, and raw reads of every type. Only CArchiveException may come out; nothing may be
// read out of bounds or leaked. Every point read is written back and read again, and must
// come back bit for bit (NaN payloads included).
//
// Then, from the same bytes, a written archive: a sequence of values of every type, strings,
// null and repeated objects and class records, stored and loaded again; every value must come
// back bit for bit, a repeated object as the same object, in the same order, and the archive
// must end exactly where the writing ended.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

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

// ---- writes read back ------------------------------------------------------------------------

struct Item {
    int kind;
    uint64_t bits;     // the raw value of a number
    std::string text;  // a string's characters
    int object;        // index into the points, -1 for a null object
};

// A value read back, as the bits Item keeps of it (unsigned values widened, others copied).
template <class T>
uint64_t ReadBits(CArchive& ar) {
    T v;
    ar >> v;
    uint64_t bits = 0;
    if constexpr (std::is_unsigned_v<T>)
        bits = v;
    else
        std::memcpy(&bits, &v, sizeof v);
    return bits;
}

void WriteRoundTrip(ByteReader& in) {
    std::vector<std::unique_ptr<C2DPoint>> points;
    for (int k = in.Range(1, 4); k > 0; --k)
        points.emplace_back(new C2DPoint(in.Real(), in.Real()));
    std::vector<Item> items;
    CMemFile file;
    {
        CArchive out(&file, CArchive::store);
        for (int i = in.Range(0, 48); i > 0; --i) {
            Item it{in.Byte() % 9, 0, std::string(), -1};
            const double d = in.Real();
            switch (it.kind) {
                case 0:
                    it.bits = in.Byte();
                    out << static_cast<BYTE>(it.bits);
                    break;
                case 1:
                    it.bits = static_cast<uint16_t>(in.Raw<int32_t>());
                    out << static_cast<WORD>(it.bits);
                    break;
                case 2:
                    it.bits = static_cast<uint32_t>(in.Raw<int32_t>());
                    out << static_cast<DWORD>(it.bits);
                    break;
                case 3: {
                    const int v = in.Index();
                    std::memcpy(&it.bits, &v, sizeof v);
                    out << v;
                    break;
                }
                case 4: {
                    const float f = static_cast<float>(d);
                    std::memcpy(&it.bits, &f, sizeof f);
                    out << f;
                    break;
                }
                case 5:
                    std::memcpy(&it.bits, &d, sizeof d);
                    out << d;
                    break;
                case 6:
                    // Strings of any length, the long-length forms included.
                    it.text =
                        in.Byte() % 8 == 0 ? std::string(in.Range(250, 70000), 'x') : in.Text(40);
                    out << CString(it.text);
                    break;
                case 7:
                    it.object =
                        in.Byte() % 8 == 0 ? -1 : static_cast<int>(in.Byte() % points.size());
                    out << static_cast<const CObject*>(
                        it.object < 0 ? nullptr : points[static_cast<size_t>(it.object)].get());
                    break;
                default:
                    out.WriteClass(RUNTIME_CLASS(C2DPoint));
                    break;
            }
            items.push_back(it);
        }
        out.Close();
    }
    const uint64_t length = file.GetLength();
    file.SeekToBegin();
    CArchive back(&file, CArchive::load);
    // Each stored object comes back once; its later references give the same object.
    std::vector<C2DPoint*> loaded(points.size(), nullptr);
    std::set<C2DPoint*> owned;
    static uint64_t (*const kReadBits[])(CArchive&) = {ReadBits<BYTE>,  ReadBits<WORD>,
                                                       ReadBits<DWORD>, ReadBits<int>,
                                                       ReadBits<float>, ReadBits<double>};
    for (const Item& it : items) {
        if (it.kind <= 5) {
            FUZZ_CHECK(kReadBits[it.kind](back) == it.bits);
            continue;
        }
        switch (it.kind) {
            case 6: {
                CString v;
                back >> v;
                FUZZ_CHECK(v.str() == it.text);
                break;
            }
            case 7: {
                C2DPoint* p = nullptr;
                back >> p;
                if (it.object < 0) {
                    FUZZ_CHECK(p == nullptr);
                    break;
                }
                FUZZ_CHECK(p != nullptr);
                owned.insert(p);
                C2DPoint*& first = loaded[static_cast<size_t>(it.object)];
                FUZZ_CHECK(first == nullptr || first == p);
                first = p;
                const C2DPoint& q = *points[static_cast<size_t>(it.object)];
                FUZZ_CHECK(std::memcmp(&p->x, &q.x, sizeof q.x) == 0 &&
                           std::memcmp(&p->y, &q.y, sizeof q.y) == 0);
                break;
            }
            default: {
                UINT schema = 0;
                FUZZ_CHECK(back.ReadClass(RUNTIME_CLASS(C2DPoint), &schema) ==
                           RUNTIME_CLASS(C2DPoint));
                break;
            }
        }
    }
    FUZZ_CHECK(file.GetPosition() == length);
    for (C2DPoint* p : owned)
        delete p;
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

    ByteReader again(data, size);
    WriteRoundTrip(again);
    return 0;
}
