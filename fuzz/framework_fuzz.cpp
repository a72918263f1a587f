// Framework containers against standard-library models. Each input is a program of operations
// on value arrays, pointer arrays, owning point arrays, strings and a memory file; every
// operation is applied to the container and to its model, and the two must agree after each
// step: the same result, the same exception class, the same contents. Counts, indices and
// offsets are drawn near 0, near the current size and at the ends of int and int64_t, so that
// every sum a container forms from them is tried where it overflows.
//
// A request the container may grant but that needs more memory than a fuzzing process should
// use (a count or length past kCap that still fits) is not issued; one that can never be
// granted must throw and change nothing.
#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "BaseCommon/BaseCommon.h"
#include "ByteReader.h"

namespace {

constexpr long long kCap = 1 << 16;

enum class Outcome { ok, invalid, memory, skip };

template <class F>
Outcome Run(F&& f) {
    try {
        f();
    } catch (const CInvalidArgException&) {
        return Outcome::invalid;
    } catch (const CMemoryException&) {
        return Outcome::memory;
    }
    return Outcome::ok;
}

// A count or index: near 0, near the size n, or at an end of int.
int Count(ByteReader& in, long long n) {
    const uint8_t b = in.Byte();
    const long long nearSize = n + (b % 5) - 2;
    switch (b % 8) {
        case 0:
        case 1:
        case 2:
            return static_cast<int>(b % 5) - 1;
        case 3:
        case 4:
            return static_cast<int>(
                std::max<long long>(INT_MIN, std::min<long long>(INT_MAX, nearSize)));
        case 5:
            return INT_MAX - static_cast<int>(b % 3);
        case 6:
            return INT_MIN + static_cast<int>(b % 3);
        default:
            return in.Raw<int32_t>();
    }
}

// An offset for a file position: near 0, near the length or position, or at an end of int64.
int64_t Offset(ByteReader& in, int64_t len, int64_t pos) {
    const uint8_t b = in.Byte();
    const int64_t d = static_cast<int64_t>(b % 5) - 2;
    const int64_t k = static_cast<int64_t>(b % 3);
    switch (b % 8) {
        case 0:
        case 1:
            return d;
        case 2:
            return len + d;
        case 3:
            return -pos + k;
        case 4:
            return INT64_MAX - k;
        case 5:
            return INT64_MIN + k;
        case 6:
            return INT64_MAX - pos - k;
        default: {
            uint64_t u = 0;
            for (int i = 0; i < 8; ++i)
                u = u << 8 | in.Byte();
            int64_t r;
            std::memcpy(&r, &u, sizeof r);
            return r;
        }
    }
}

#define EXPECT_OUTCOME(got, want) FUZZ_CHECK((got) == (want))

// ---- requests the value and pointer arrays share ------------------------------------------
// Each draws its counts, states the outcome the model expects, runs the request on the array
// and applies it to the model when granted. false: not issued (it would need too much memory).

// SetAtGrow(i, arg): refused for i < 0 and for i = INT_MAX (the size i + 1 does not fit).
template <class A, class T, class Arg>
bool SetAtGrowStep(ByteReader& in, A& a, std::vector<T>& m, Arg& arg, const T& val, Outcome& want,
                   Outcome& got) {
    const long long n = static_cast<long long>(m.size());
    const int i = Count(in, n);
    if (i < 0 || i == INT_MAX)
        want = Outcome::invalid;
    else if (i >= kCap)
        return false;
    got = Run([&] { a.SetAtGrow(i, arg); });
    if (want == Outcome::ok) {
        if (i >= n)
            m.resize(static_cast<size_t>(i) + 1, T());
        m[static_cast<size_t>(i)] = val;
    }
    return true;
}

// InsertAt(i, arg, c): refused for a negative index or count and when the new size passes
// INT_MAX; a count of 0 changes nothing.
template <class A, class T, class Arg>
bool InsertCountStep(ByteReader& in, A& a, std::vector<T>& m, Arg& arg, const T& val, Outcome& want,
                     Outcome& got) {
    const long long n = static_cast<long long>(m.size());
    const int i = Count(in, n);
    const int c = Count(in, 0);
    const long long newSize = std::max<long long>(i, n) + c;
    if (i < 0 || c < 0 || (c > 0 && newSize > INT_MAX))
        want = Outcome::invalid;
    else if (c > 0 && newSize > kCap)
        return false;
    got = Run([&] { a.InsertAt(i, arg, c); });
    if (want == Outcome::ok && c > 0) {
        if (i > n)
            m.resize(static_cast<size_t>(i), T());
        m.insert(m.begin() + i, static_cast<size_t>(c), val);
    }
    return true;
}

// RemoveAt(i, c): refused unless 0 <= i, 0 <= c and i + c <= size (summed in 64 bits);
// removed(k) sees each removed element of the model first.
template <class A, class T, class F>
void RemoveAtStep(ByteReader& in, A& a, std::vector<T>& m, Outcome& want, Outcome& got,
                  F&& removed) {
    const long long n = static_cast<long long>(m.size());
    const int i = Count(in, n);
    const int c = Count(in, 1);
    if (i < 0 || c < 0 || static_cast<long long>(i) + c > n)
        want = Outcome::invalid;
    got = Run([&] { a.RemoveAt(i, c); });
    if (want == Outcome::ok) {
        for (int k = i; k < i + c; ++k)
            removed(m[static_cast<size_t>(k)]);
        m.erase(m.begin() + i, m.begin() + i + c);
    }
}

// Append(other): the first new index is the old size.
template <class A, class T>
bool AppendStep(A& a, const A& other, std::vector<T>& m, const std::vector<T>& src, Outcome& got) {
    const long long n = static_cast<long long>(m.size());
    if (n + static_cast<long long>(src.size()) > kCap)
        return false;
    int first = -1;
    got = Run([&] { first = a.Append(other); });
    FUZZ_CHECK(first == n);
    m.insert(m.end(), src.begin(), src.end());
    return true;
}

// ---- CArray<int, int&> against std::vector<int> -------------------------------------------

using IntArray = CArray<int, int&>;

void SameInts(const IntArray& a, const std::vector<int>& m) {
    FUZZ_CHECK(a.GetSize() == static_cast<int>(m.size()));
    FUZZ_CHECK(a.GetCount() == a.GetSize() && a.GetUpperBound() == a.GetSize() - 1);
    FUZZ_CHECK(a.IsEmpty() == m.empty());
    for (size_t i = 0; i < m.size(); ++i)
        FUZZ_CHECK(a.GetData()[i] == m[i]);
}

void IntArrayStep(ByteReader& in, IntArray (&arr)[2], std::vector<int> (&mod)[2]) {
    const int w = in.Byte() & 1;
    IntArray& a = arr[w];
    std::vector<int>& m = mod[w];
    const long long n = static_cast<long long>(m.size());
    int v = static_cast<int>(in.Byte()) - 128;
    // Half of the values come from the array itself, to catch a reference that dies while
    // the array grows or shifts.
    const bool alias = !m.empty() && (in.Byte() & 1);
    const int ai = alias ? static_cast<int>(in.Byte() % m.size()) : 0;
    int& arg = alias ? a.ElementAt(ai) : v;
    const int val = alias ? m[static_cast<size_t>(ai)] : v;
    Outcome want = Outcome::ok, got;
    switch (in.Byte() % 12) {
        case 0: {  // SetSize
            const int s = Count(in, n);
            const int g = Count(in, 8);
            if (s < 0)
                want = Outcome::invalid;
            else if (s > kCap)
                return;
            got = Run([&] { a.SetSize(s, g); });
            if (want == Outcome::ok)
                m.resize(static_cast<size_t>(s), 0);
            break;
        }
        case 1:
            if (!SetAtGrowStep(in, a, m, arg, val, want, got))
                return;
            break;
        case 2:
            if (!InsertCountStep(in, a, m, arg, val, want, got))
                return;
            break;
        case 3:
            RemoveAtStep(in, a, m, want, got, [](int) {});
            break;
        case 4: {  // Add
            if (n >= kCap)
                return;
            int idx = -1;
            got = Run([&] { idx = a.Add(arg); });
            FUZZ_CHECK(idx == n);
            m.push_back(val);
            break;
        }
        case 5: {  // bounds-checked access
            const int i = Count(in, n);
            const bool inside = i >= 0 && i < n;
            want = inside ? Outcome::ok : Outcome::invalid;
            int seen = 0;
            got = Run([&] { seen = a.GetAt(i); });
            if (inside)
                FUZZ_CHECK(seen == m[static_cast<size_t>(i)]);
            EXPECT_OUTCOME(Run([&] { a.SetAt(i, v); }), want);
            EXPECT_OUTCOME(Run([&] { (void)static_cast<const IntArray&>(a)[i]; }), want);
            if (inside)
                m[static_cast<size_t>(i)] = v;
            break;
        }
        case 6: {  // Append the other array, or itself
            const bool self = in.Byte() & 1;
            const std::vector<int>& src = self ? m : mod[1 - w];
            if (self) {
                want = Outcome::invalid;
                got = Run([&] { a.Append(a); });
            } else if (!AppendStep(a, arr[1 - w], m, src, got)) {
                return;
            }
            break;
        }
        case 7:  // Copy from the other array
            got = Run([&] { a.Copy(arr[1 - w]); });
            m = mod[1 - w];
            break;
        case 8:  // copy construction and assignment, then move back
            got = Run([&] {
                IntArray c(a);
                SameInts(c, m);
                IntArray d;
                d = c;
                a = std::move(d);
            });
            break;
        case 9:
            got = Run([&] { a.FreeExtra(); });
            break;
        case 10:
            got = Run([&] { a.RemoveAll(); });
            m.clear();
            break;
        default:  // move assignment between the two
            got = Run([&] { a = std::move(arr[1 - w]); });
            m = std::move(mod[1 - w]);
            mod[1 - w].clear();
            SameInts(arr[1 - w], mod[1 - w]);
            break;
    }
    EXPECT_OUTCOME(got, want);
    SameInts(a, m);
}

// ---- CTypedPtrArray<CPtrArray, int*> against std::vector<int*> ----------------------------

int g_pool[8];
using PtrArray = CTypedPtrArray<CPtrArray, int*>;

void SamePtrs(const PtrArray& a, const std::vector<int*>& m) {
    FUZZ_CHECK(a.GetSize() == static_cast<int>(m.size()));
    for (size_t i = 0; i < m.size(); ++i)
        FUZZ_CHECK(a.GetAt(static_cast<int>(i)) == m[i]);
}

void PtrArrayStep(ByteReader& in, PtrArray (&arr)[2], std::vector<int*> (&mod)[2]) {
    const int w = in.Byte() & 1;
    PtrArray& a = arr[w];
    std::vector<int*>& m = mod[w];
    const long long n = static_cast<long long>(m.size());
    int* p = (in.Byte() & 7) == 0 ? nullptr : &g_pool[in.Byte() % 8];
    Outcome want = Outcome::ok, got;
    switch (in.Byte() % 6) {
        case 0: {  // InsertAt of another array (or this one) at an index
            const bool self = in.Byte() & 1;
            const std::vector<int*> src = self ? m : mod[1 - w];
            const int i = Count(in, n);
            const long long newSize =
                std::max<long long>(i, n) + static_cast<long long>(src.size());
            if (i < 0)
                want = Outcome::invalid;
            else if (!src.empty() && newSize > INT_MAX)
                want = Outcome::invalid;
            else if (!src.empty() && newSize > kCap)
                return;
            got = Run([&] { a.InsertAt(i, self ? &a : &arr[1 - w]); });
            if (want == Outcome::ok && !src.empty()) {
                if (i > n)
                    m.resize(static_cast<size_t>(i), nullptr);
                m.insert(m.begin() + i, src.begin(), src.end());
            }
            break;
        }
        case 1:  // InsertAt of one pointer, repeated
            if (!InsertCountStep(in, a, m, p, p, want, got))
                return;
            break;
        case 2:
            RemoveAtStep(in, a, m, want, got, [](int*) {});
            break;
        case 3:
            if (!SetAtGrowStep(in, a, m, p, p, want, got))
                return;
            break;
        case 4:
            if (!AppendStep(a, arr[1 - w], m, mod[1 - w], got))
                return;
            break;
        default: {
            const int i = Count(in, n);
            want = i >= 0 && i < n ? Outcome::ok : Outcome::invalid;
            got = Run([&] { a.ElementAt(i) = p; });
            if (want == Outcome::ok)
                m[static_cast<size_t>(i)] = p;
            break;
        }
    }
    EXPECT_OUTCOME(got, want);
    SamePtrs(a, m);
}

// ---- owning point arrays: deep operations and Find ----------------------------------------

// The model holds the pointers the array must hold; every object is owned by exactly one
// array, so the two arrays never share a pointer and a deep copy never reuses one.
void SamePoints(const C3DPointArray& a, const std::vector<C3DPoint*>& m) {
    FUZZ_CHECK(a.GetSize() == static_cast<int>(m.size()));
    for (size_t i = 0; i < m.size(); ++i)
        FUZZ_CHECK(a.GetAt(static_cast<int>(i)) == m[i]);
}

bool NoNull(const std::vector<C3DPoint*>& m) {
    return std::find(m.begin(), m.end(), nullptr) == m.end();
}

void CheckClones(const C3DPointArray& a, size_t from, const std::vector<C3DPoint*>& src) {
    for (size_t i = 0; i < src.size(); ++i) {
        const C3DPoint* q = a.GetAt(static_cast<int>(from + i));
        FUZZ_CHECK(q && q != src[i]);
        FUZZ_CHECK(q->x == src[i]->x && q->y == src[i]->y && q->z == src[i]->z);
    }
}

void PointArrayStep(ByteReader& in, C3DPointArray (&arr)[2], std::vector<C3DPoint*> (&mod)[2]) {
    const int w = in.Byte() & 1;
    C3DPointArray& a = arr[w];
    std::vector<C3DPoint*>& m = mod[w];
    const long long n = static_cast<long long>(m.size());
    switch (in.Byte() % 6) {
        case 0: {  // Add a new point or a null slot
            if (n >= 256)
                return;
            C3DPoint* p = (in.Byte() & 7) ? new C3DPoint(in.Byte(), in.Byte(), 0) : nullptr;
            FUZZ_CHECK(a.Add(p) == n);
            m.push_back(p);
            break;
        }
        case 1: {  // DeepCopy from the other array, or onto itself (no change)
            const bool self = in.Byte() & 1;
            const std::vector<C3DPoint*> src = self ? m : mod[1 - w];
            if (!NoNull(src))
                return;
            a.DeepCopy(self ? a : arr[1 - w]);
            if (!self) {
                CheckClones(a, 0, src);
                m.assign(a.GetData(), a.GetData() + a.GetSize());
            }
            break;
        }
        case 2: {  // DeepAppend, also of itself: one clone of each original element
            const bool self = in.Byte() & 1;
            const std::vector<C3DPoint*> src = self ? m : mod[1 - w];
            if (!NoNull(src) || n + static_cast<long long>(src.size()) > 256)
                return;
            a.DeepAppend(self ? a : arr[1 - w]);
            FUZZ_CHECK(a.GetSize() == static_cast<int>(m.size() + src.size()));
            for (size_t i = 0; i < m.size(); ++i)
                FUZZ_CHECK(a.GetAt(static_cast<int>(i)) == m[i]);
            CheckClones(a, m.size(), src);
            m.assign(a.GetData(), a.GetData() + a.GetSize());
            break;
        }
        case 3:
            a.DeepRemoveAll();
            m.clear();
            break;
        case 4: {  // Find by identity from a start index
            const C3DPoint* p = m.empty() ? nullptr : m[in.Byte() % m.size()];
            const int s = Count(in, n);
            int want = -1;
            for (long long i = std::max<long long>(0, static_cast<long long>(s) + 1); i < n; ++i) {
                if (m[static_cast<size_t>(i)] == p) {
                    want = static_cast<int>(i);
                    break;
                }
            }
            FUZZ_CHECK(a.Find(const_cast<C3DPoint*>(p), s) == want);
            break;
        }
        default: {  // RemoveAt: the removed objects are freed by the caller, as an owner must
            Outcome want = Outcome::ok, got;
            RemoveAtStep(in, a, m, want, got, [](C3DPoint* q) { delete q; });
            EXPECT_OUTCOME(got, want);
            break;
        }
    }
    SamePoints(a, m);
}

// ---- CString against std::string ----------------------------------------------------------

void SameText(const CString& s, const std::string& m) {
    FUZZ_CHECK(s.GetLength() == static_cast<int>(m.size()));
    FUZZ_CHECK(s.str() == m);
    FUZZ_CHECK(s.IsEmpty() == m.empty());
}

std::string ModelMid(const std::string& m, long long f, long long c) {
    if (f < 0)
        f = 0;
    if (f >= static_cast<long long>(m.size()) || c <= 0)
        return std::string();
    return m.substr(static_cast<size_t>(f), static_cast<size_t>(c));
}

void StringStep(ByteReader& in, CString& s, std::string& m) {
    const long long n = static_cast<long long>(m.size());
    const char ch = static_cast<char>(in.Range(0, 7) == 0 ? ' ' : 'a' + in.Byte() % 4);
    switch (in.Byte() % 10) {
        case 0: {
            const int c = Count(in, n);
            FUZZ_CHECK(s.Left(c).str() ==
                       (c <= 0 ? std::string() : m.substr(0, static_cast<size_t>(c))));
            break;
        }
        case 1: {
            const int c = Count(in, n);
            const std::string want = c <= 0   ? std::string()
                                     : c >= n ? m
                                              : m.substr(m.size() - static_cast<size_t>(c));
            FUZZ_CHECK(s.Right(c).str() == want);
            break;
        }
        case 2: {
            const int f = Count(in, n);
            const int c = Count(in, n);
            FUZZ_CHECK(s.Mid(f, c).str() == ModelMid(m, f, c));
            FUZZ_CHECK(s.Mid(f).str() == ModelMid(m, f, n));
            break;
        }
        case 3: {
            const int st = Count(in, n);
            const size_t pos =
                st < 0 || st >= n ? std::string::npos : m.find(ch, static_cast<size_t>(st));
            FUZZ_CHECK(s.Find(ch, st) == (pos == std::string::npos ? -1 : static_cast<int>(pos)));
            const size_t r = m.rfind(ch);
            FUZZ_CHECK(s.ReverseFind(ch) == (r == std::string::npos ? -1 : static_cast<int>(r)));
            break;
        }
        case 4: {
            const std::string needle = in.Text(4);
            const int st = Count(in, n);
            const std::string key(needle.c_str());  // the text up to its first NUL
            const size_t pos =
                st < 0 || st > n ? std::string::npos : m.find(key, static_cast<size_t>(st));
            FUZZ_CHECK(s.Find(needle.c_str(), st) ==
                       (pos == std::string::npos ? -1 : static_cast<int>(pos)));
            FUZZ_CHECK(s.Find(static_cast<const char*>(nullptr), st) == -1);
            break;
        }
        case 5: {
            const int i = Count(in, n);
            const bool inside = i >= 0 && i < n;
            char got = 0;
            EXPECT_OUTCOME(Run([&] { got = s.GetAt(i); }), inside ? Outcome::ok : Outcome::invalid);
            EXPECT_OUTCOME(Run([&] { s.SetAt(i, ch); }), inside ? Outcome::ok : Outcome::invalid);
            if (inside) {
                FUZZ_CHECK(got == m[static_cast<size_t>(i)]);
                m[static_cast<size_t>(i)] = ch;
            }
            break;
        }
        case 6: {  // appends, the string to itself included
            if (n > kCap)
                return;
            switch (in.Byte() % 3) {
                case 0:
                    s += ch;
                    m += ch;
                    break;
                case 1: {
                    const std::string t = in.Text(16);
                    s += t.c_str();
                    m += std::string(t.c_str());
                    break;
                }
                default:
                    s += s;
                    m += m;
                    break;
            }
            break;
        }
        case 7: {
            const int k = in.Byte() % 3;
            if (k == 0) {
                s.TrimLeft();
                m.erase(0, m.find_first_not_of(" \t\r\n\v\f") == std::string::npos
                               ? m.size()
                               : m.find_first_not_of(" \t\r\n\v\f"));
            } else if (k == 1) {
                s.TrimRight();
                const size_t e = m.find_last_not_of(" \t\r\n\v\f");
                m.erase(e == std::string::npos ? 0 : e + 1);
            } else {
                s.Trim();
                const size_t b = m.find_first_not_of(" \t\r\n\v\f");
                m = b == std::string::npos ? std::string()
                                           : m.substr(b, m.find_last_not_of(" \t\r\n\v\f") - b + 1);
            }
            break;
        }
        case 8: {  // construction from a counted buffer and from a repeated character
            const std::string t = in.Text(32);
            const int c = Count(in, static_cast<long long>(t.size()));
            const int len = c > static_cast<int>(t.size()) ? static_cast<int>(t.size()) : c;
            const CString a(t.data(), len);
            FUZZ_CHECK(a.str() ==
                       (len > 0 ? t.substr(0, static_cast<size_t>(len)) : std::string()));
            if (c <= kCap) {
                const CString r(ch, c);
                FUZZ_CHECK(r.GetLength() == std::max(c, 0));
            }
            s = CString(t);
            m = t;
            break;
        }
        default: {
            const CString other(in.Text(8));
            FUZZ_CHECK((s == other) == (m == other.str()));
            FUZZ_CHECK((s < other) == (m < other.str()));
            CString f;
            f.Format("%s|%d", s.GetString(), static_cast<int>(n));
            FUZZ_CHECK(f.str() == std::string(m.c_str()) + "|" + std::to_string(n));
            break;
        }
    }
    SameText(s, m);
}

// ---- CMemFile against a byte vector and a position ----------------------------------------

struct FileModel {
    std::vector<BYTE> data;
    uint64_t pos = 0;
};

void SameFile(const CMemFile& f, const FileModel& m) {
    FUZZ_CHECK(f.GetLength() == m.data.size());
    FUZZ_CHECK(f.GetPosition() == m.pos);
    FUZZ_CHECK(m.data.empty() || std::memcmp(f.GetBuffer(), m.data.data(), m.data.size()) == 0);
}

void FileStep(ByteReader& in, CMemFile& f, FileModel& m) {
    const int64_t len = static_cast<int64_t>(m.data.size());
    const uint64_t maxSize = std::vector<BYTE>().max_size();
    BYTE buf[64];
    for (BYTE& b : buf)
        b = in.Byte();
    Outcome want = Outcome::ok, got;
    switch (in.Byte() % 5) {
        case 0: {  // Write: a null buffer with a count is refused; a count of 0 never is
            const UINT c = in.Byte() % 65;
            const bool null = (in.Byte() & 15) == 0;
            const uint64_t end = m.pos + c;
            if (c > 0 && null)
                want = Outcome::invalid;
            else if (c > 0 && end > maxSize)
                want = Outcome::memory;
            else if (c > 0 && end > static_cast<uint64_t>(kCap))
                return;
            got = Run([&] { f.Write(null ? nullptr : buf, c); });
            if (want == Outcome::ok && c > 0) {
                if (end > m.data.size())
                    m.data.resize(static_cast<size_t>(end), 0);
                std::memcpy(m.data.data() + m.pos, buf, c);
                m.pos = end;
            }
            break;
        }
        case 1: {  // Read
            const UINT c = in.Byte() % 65;
            const bool null = (in.Byte() & 15) == 0;
            const bool any = c > 0 && m.pos < m.data.size();
            if (any && null)
                want = Outcome::invalid;
            BYTE out[64];
            UINT r = 0;
            got = Run([&] { r = f.Read(null ? nullptr : out, c); });
            if (want == Outcome::ok) {
                const uint64_t k = any ? std::min<uint64_t>(c, m.data.size() - m.pos) : 0;
                FUZZ_CHECK(r == k);
                FUZZ_CHECK(k == 0 ||
                           std::memcmp(out, m.data.data() + m.pos, static_cast<size_t>(k)) == 0);
                m.pos += k;
            }
            break;
        }
        case 2: {  // Seek from any origin by any offset, or from an origin that does not exist
            const UINT from = in.Byte() % 4;
            const int64_t off = Offset(in, len, static_cast<int64_t>(m.pos));
            const int64_t base = from == 0 ? 0 : from == 1 ? static_cast<int64_t>(m.pos) : len;
            // base >= 0, so only a positive offset can overflow the sum.
            const bool outside = off > 0 ? base > INT64_MAX - off : base + off < 0;
            if (from == 3 || outside)
                want = Outcome::invalid;
            uint64_t r = 0;
            got = Run([&] { r = f.Seek(off, from); });
            if (want == Outcome::ok) {
                m.pos = static_cast<uint64_t>(base + off);
                FUZZ_CHECK(r == m.pos);
            }
            break;
        }
        case 3: {  // SetLength
            uint64_t l = static_cast<uint64_t>(Offset(in, len, static_cast<int64_t>(m.pos)));
            if (in.Byte() & 1)
                l = UINT64_MAX - (l & 3);
            if (l > maxSize)
                want = Outcome::memory;
            else if (l > static_cast<uint64_t>(kCap))
                return;
            got = Run([&] { f.SetLength(l); });
            if (want == Outcome::ok) {
                m.data.resize(static_cast<size_t>(l), 0);
                m.pos = std::min(m.pos, l);
            }
            break;
        }
        default:
            got = Run([&] { FUZZ_CHECK(f.SeekToEnd() == m.data.size()); });
            m.pos = m.data.size();
            break;
    }
    EXPECT_OUTCOME(got, want);
    SameFile(f, m);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ByteReader in(data, size);
    IntArray ints[2];
    std::vector<int> intModel[2];
    PtrArray ptrs[2];
    std::vector<int*> ptrModel[2];
    C3DPointArray points[2];
    std::vector<C3DPoint*> pointModel[2];
    CString text;
    std::string textModel;
    CMemFile file;
    FileModel fileModel;
    for (int step = 0; step < 256 && !in.Empty(); ++step) {
        switch (in.Byte() % 5) {
            case 0:
                IntArrayStep(in, ints, intModel);
                break;
            case 1:
                PtrArrayStep(in, ptrs, ptrModel);
                break;
            case 2:
                PointArrayStep(in, points, pointModel);
                break;
            case 3:
                StringStep(in, text, textModel);
                break;
            default:
                FileStep(in, file, fileModel);
                break;
        }
    }
    points[0].DeepRemoveAll();
    points[1].DeepRemoveAll();
    return 0;
}
