// Archive reader over arbitrary bytes: whole C2DPoint objects, any object by class name, and
// raw typed reads. Only CArchiveException may come out; nothing may be read out of bounds
// or leaked.
#include <cstddef>
#include <cstdint>
#include <set>

#include "BaseCommon/BaseCommon.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > (1u << 20))
        return 0;
    // The first byte chooses how the rest is read.
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
                    break;
                }
                case 1: {
                    objects.insert(ar.ReadObject(nullptr));
                    break;
                }
                case 2: {
                    double d;
                    WORD w;
                    ar >> d >> w;
                    break;
                }
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
