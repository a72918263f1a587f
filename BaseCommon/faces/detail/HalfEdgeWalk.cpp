#include "BaseCommon/faces/detail/HalfEdgeWalk.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "BaseCommon/faces/detail/PointCells.h"
#include "BaseCommon/geometry/C3DVec.h"
#include "BaseCommon/geometry/Tolerance.h"

namespace rvn {
namespace detail {
namespace {

enum : unsigned char { kRetired = 1, kOnWalk = 2, kStraddles = 4 };

// The unit direction through C3DVec::GetNormal itself, so that the cosines are those of the
// literal walk to the last bit at every magnitude (including the rescaling of vectors whose
// squared length underflows or overflows).
//
// Each segment's unit vector is worked out once, along the segment; the half-edge back along
// it takes the negated vector. Its direction is start - end where the forward one is end -
// start, and a rounded difference is odd in the sign (x - y == -(y - x), overflow to an
// infinity included), so the two directions are negatives of each other but for the sign of
// a zero component. Every step of the normalisation is even or odd in the sign as well:
// squares, their sum and root, the largest magnitude that rescales a triple whose squared
// length underflows or overflows, and the quotients. So the reverse unit vector is the
// negated one bit for bit, but possibly for the sign of a zero component, and a zero's sign
// changes neither a cosine's value (a sum of products) nor any comparison made with it.
void UnitOf(const double* v, double* n) {
    const C3DVec u = C3DVec(v[0], v[1], v[2]).GetNormal();
    n[0] = u.x;
    n[1] = u.y;
    n[2] = u.z;
}

// A hint to fetch the cache line of p; nothing where the compiler offers no such hint.
inline void Prefetch(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p);
#else
    (void)p;
#endif
}

// The same, for a line about to be written.
inline void PrefetchForWrite(const void* p) {
#if defined(__GNUC__) || defined(__clang__)
    __builtin_prefetch(p, 1);
#else
    (void)p;
#endif
}

// Half-edges ahead of the line-order pass whose ring entries are prefetched.
constexpr int kLookAhead = 16;
// Buckets ahead of the ranking, and rings ahead of the copy of the corners, whose points are
// prefetched.
constexpr int kBucketsAhead = 8;
constexpr size_t kRingsAhead = 8;

// The start point of a record may straddle two cache lines.
inline void PrefetchPoint(const double* q) {
    Prefetch(q);
    Prefetch(q + 2);
}

// The walk over the half-edges, numbered in slots: the half-edges grouped by the grid bucket of
// their start point, the buckets in plan order (see PlanRank), so that the records of the few
// nodes of a panel lie close together in memory whatever the order of the lines.
//
// Which half-edge continues a walk depends on which half-edges are retired, but only through
// that: the admissible candidates after a half-edge and their order of preference (least
// cosine first, of equal cosines the higher half-edge index) are fixed by the geometry. They are
// worked out once, node by node, before the walk; a step of the walk then takes the first
// candidate of its list that is not retired, which is the literal walk's choice.
//
// The walks start in the order of the lines, anywhere on the plan, and a step from node to node
// waits for the record of the next one: on a large plan nearly every step misses the cache. So
// the rings that the first candidates alone close are traced beforehand, in the records' plan
// order. A walk that starts on such a ring while none of its half-edges is retired follows the
// ring and nothing else: the line-order pass only decides which rings become faces and in
// which order, from small arrays, and their corners are copied afterwards, again in plan order.
// Every other walk (a ring one of whose half-edges an earlier walk retired, a path that ends or
// runs into a cycle not through its start) is walked step by step as before.
class Walker {
public:
    // A plan node joins about four half-edges: room for a quarter as many cells as
    // half-edges keeps the table small enough to stay in cache; it grows when a plan needs
    // more.
    explicit Walker(const WalkSegments& segs)
        : m_nHalf(2 * segs.Count()), m_cells(static_cast<size_t>(m_nHalf) / 4) {
        BuildIndex(segs);
        RankCandidates();
    }

    WalkFaces Run();

private:
    // A slot's start point and the candidates that may follow the half-edge that ends there
    // (the slot's twin), in order of preference, each as its slot and its twin's slot. A node
    // of a plan drawn on a grid gives at most two (the left turn and straight on), so two are
    // kept in the record itself: a step of the walk reads one record, beside the records of
    // the node's other half-edges. A longer list keeps its first entry here and the rest in
    // m_more from the position -2 - next[2], ended by a -1.
    struct Slot {
        double q[3];
        int next[4];  // -1: no more candidates
        int id;       // the half-edge (2k along segment k, 2k + 1 back)
        int twin;     // the slot of the half-edge back along the same segment
    };

    // What became of a ring in the line-order pass.
    enum : unsigned char { kRingOpen = 0, kRingTaken = 1, kRingBroken = 2 };

    void BuildIndex(const WalkSegments& segs);
    // The unit vector of half-edge h's direction (see UnitOf), from its segment's.
    void UnitOfHalf(int h, double* n) const {
        const double* f = m_unit.get() + 3 * static_cast<size_t>(h >> 1);
        const double sign = (h & 1) != 0 ? -1.0 : 1.0;
        n[0] = sign * f[0];
        n[1] = sign * f[1];
        n[2] = sign * f[2];
    }
    void RankCandidates();
    void TraceRings();
    const double* Q(int s) const { return m_slot[static_cast<size_t>(s)].q; }
    int Twin(int s) const { return m_slot[static_cast<size_t>(s)].twin; }
    // A half-edge is retired by a walk taken step by step (its flag) or with its whole ring.
    bool Retired(int s) const {
        if (m_flags[static_cast<size_t>(s)] & kRetired)
            return true;
        const int r = m_ringOf[static_cast<size_t>(s)];
        return r >= 0 && m_ringState[static_cast<size_t>(r)] == kRingTaken;
    }
    // The first candidate after the half-edge that ends at t's start that is not retired, with
    // its twin; false when there is none.
    bool NextStep(int t, int& cur, int& twin) const {
        const int* e = m_slot[static_cast<size_t>(t)].next;
        if (e[0] < 0)
            return false;
        if (!Retired(e[0])) {
            cur = e[0];
            twin = e[1];
            return true;
        }
        if (e[2] >= 0) {
            if (Retired(e[2]))
                return false;
            cur = e[2];
            twin = e[3];
            return true;
        }
        if (e[2] == -1)
            return false;
        for (const int* m = m_more.data() + (-2 - e[2]); *m >= 0; m += 2) {
            if (!Retired(m[0])) {
                cur = m[0];
                twin = m[1];
                return true;
            }
        }
        return false;
    }

    int m_nHalf;
    size_t m_nSlots = 0;
    // Every field written before it is read (by the index, then by the ranking): no time
    // spent clearing the largest block of the walk.
    std::unique_ptr<Slot[]> m_slot;
    std::vector<int> m_more;  // the longer candidate lists, beyond their first entry
    // The unit vector of each segment's direction, from begin to end, while the candidates are
    // ranked; in line order, written by the index's second pass.
    std::unique_ptr<double[]> m_unit;
    std::vector<unsigned char> m_flags;  // per slot
    std::vector<int> m_slotOf;           // slot of each half-edge, -1 when it takes no part
    std::vector<int> m_bucketStart;      // one more entry than there are buckets
    std::vector<int> m_rank;             // bucket of each bucket number that m_cells gives
    std::vector<int> m_succ;             // each slot's first candidate, -1 when it has none
    // The rings that the first candidates close (see TraceRings): the ring of each slot (-1:
    // none), each ring's slots in walk order from m_ringStart[r] in m_ringSlot, and its state.
    std::vector<int> m_ringOf;
    std::vector<int> m_ringStart;
    std::vector<int> m_ringSlot;
    std::vector<unsigned char> m_ringState;
    // The bucket of each cell key. Two cells with one key (a 64-bit coincidence) share a
    // bucket, which costs time only.
    CellTable m_cells;
};

void Walker::BuildIndex(const WalkSegments& segs) {
    const int nSeg = m_nHalf / 2;
    m_slotOf.assign(static_cast<size_t>(m_nHalf), -1);

    // First pass: the bucket of each end point of the segments that take part (kept in
    // m_slotOf for now), numbered as the cells first appear, with the bucket sizes and the
    // plan position of each bucket's first point.
    std::vector<int> count;
    std::vector<double> firstXY;
    count.reserve(static_cast<size_t>(m_nHalf) / 4 + 1);
    firstXY.reserve(2 * (static_cast<size_t>(m_nHalf) / 4 + 1));
    std::vector<unsigned char> straddling(static_cast<size_t>(m_nHalf), 0);
    double xyz[6];
    int nActive = 0;
    // The segments are read a batch at a time: the table entries of a batch's cells are
    // fetched together before the first of them is needed (the cells come in the order of the
    // lines, and nearly every probe is a miss).
    constexpr int kBatch = 16;
    struct End {
        double p[3];
        uint64_t key;
        bool straddles;
    };
    End batch[2 * kBatch];
    int batchSeg[kBatch];
    for (int k0 = 0; k0 < nSeg; k0 += kBatch) {
        int n = 0;
        for (int k = k0; k < nSeg && k < k0 + kBatch; ++k) {
            if (!segs.Get(k, xyz) || !IsFinite3(xyz) || !IsFinite3(xyz + 3))
                continue;
            // Zero-length within the tolerance: every direction taken from it is rounding
            // noise.
            if (SamePoint(xyz, xyz + 3))
                continue;
            for (int end = 0; end < 2; ++end) {
                End& e = batch[2 * n + end];
                for (int a = 0; a < 3; ++a)
                    e.p[a] = xyz[3 * end + a];
                e.key = LocateCell(e.p, e.straddles);
                m_cells.Prefetch(e.key);
            }
            batchSeg[n++] = k;
        }
        for (int i = 0; i < 2 * n; ++i) {
            const End& e = batch[i];
            const int h = 2 * batchSeg[i / 2] + i % 2;
            const int b = m_cells.Insert(e.key);
            if (static_cast<size_t>(b) == count.size()) {
                count.push_back(0);
                firstXY.push_back(e.p[0]);
                firstXY.push_back(e.p[1]);
            }
            m_slotOf[static_cast<size_t>(h)] = b;
            straddling[static_cast<size_t>(h)] = e.straddles;
            ++count[static_cast<size_t>(b)];
        }
        nActive += 2 * n;
    }
    // The buckets numbered again in plan order. Numbered as the cells first appear, they
    // follow the order of the lines, which is no spatial order at all: a panel's nodes would
    // lie anywhere in the index, and a large plan would cost a cache miss per node.
    const int nBuckets = static_cast<int>(count.size());
    m_rank = PlanRank(firstXY.data(), 2, nBuckets);
    std::vector<double>().swap(firstXY);
    m_bucketStart.assign(static_cast<size_t>(nBuckets) + 1, 0);
    for (int b = 0; b < nBuckets; ++b)
        m_bucketStart[static_cast<size_t>(m_rank[static_cast<size_t>(b)]) + 1] =
            count[static_cast<size_t>(b)];
    std::vector<int>().swap(count);
    for (size_t b = 1; b < m_bucketStart.size(); ++b)
        m_bucketStart[b] += m_bucketStart[b - 1];

    // Each half-edge gets the next free slot of its start point's bucket. Ascending half-edge
    // order keeps every bucket sorted by index.
    {
        std::vector<int> fill(m_bucketStart.begin(), m_bucketStart.end() - 1);
        for (int& s : m_slotOf) {
            if (s >= 0)
                s = fill[static_cast<size_t>(m_rank[static_cast<size_t>(s)])]++;
        }
    }
    // Second pass: the records filled in the order of the segments, each one in a place of its
    // own on the plan: the lines of the records a few segments on are fetched ahead.
    constexpr int kAhead = 8;
    m_nSlots = static_cast<size_t>(nActive);
    m_slot.reset(new Slot[m_nSlots]);
    m_flags.assign(m_nSlots, 0);
    m_unit.reset(new double[3 * static_cast<size_t>(nSeg)]);
    for (int k = 0; k < nSeg; ++k) {
        if (k + kAhead < nSeg) {
            for (int end = 0; end < 2; ++end) {
                const int s = m_slotOf[2 * static_cast<size_t>(k + kAhead) + end];
                if (s < 0)
                    break;
                const char* r = reinterpret_cast<const char*>(&m_slot[static_cast<size_t>(s)]);
                PrefetchForWrite(r);
                PrefetchForWrite(r + sizeof(Slot) - 1);
            }
        }
        const int s0 = m_slotOf[2 * static_cast<size_t>(k)];
        if (s0 < 0)
            continue;
        const int s1 = m_slotOf[2 * static_cast<size_t>(k) + 1];
        segs.Get(k, xyz);
        const double w[3] = {xyz[3] - xyz[0], xyz[4] - xyz[1], xyz[5] - xyz[2]};
        UnitOf(w, m_unit.get() + 3 * static_cast<size_t>(k));
        for (int end = 0; end < 2; ++end) {
            const int h = 2 * k + end;
            const int s = end == 0 ? s0 : s1;
            Slot& r = m_slot[static_cast<size_t>(s)];
            for (int a = 0; a < 3; ++a)
                r.q[a] = xyz[3 * end + a];
            r.id = h;
            r.twin = end == 0 ? s1 : s0;
            if (straddling[static_cast<size_t>(h)])
                m_flags[static_cast<size_t>(s)] = kStraddles;
        }
    }
}

void Walker::RankCandidates() {
    // The candidates of one arriving half-edge: cosine, half-edge and slot, each in an array
    // of its own. Each is written at the end of the lists and counted only when it is
    // admissible: whether a turn is to the left is as good as random, and a branch on it
    // would be mispredicted half the time. Three arrays, not one of records: a record whose
    // parts were just stored one by one and is then read back whole (as sorting does) cannot
    // be forwarded from the stores, and stalls.
    std::vector<double> cosOf(8);
    std::vector<int> idOf(8), slotOf(8);
    size_t nList = 0;
    auto room = [&](size_t n) {
        if (cosOf.size() < n) {
            cosOf.resize(2 * n);
            idOf.resize(2 * n);
            slotOf.resize(2 * n);
        }
    };
    m_succ.resize(m_nSlots);
    // The current bucket's slots: direction (from start to end), its unit vector, half-edge
    // and twin.
    struct Local {
        double w[3];
        double nw[3];
        int id;
        int twin;
    };
    std::vector<Local> local;
    const int nBuckets = static_cast<int>(m_bucketStart.size()) - 1;
    for (int bucket = 0; bucket < nBuckets; ++bucket) {
        const int lo = m_bucketStart[static_cast<size_t>(bucket)];
        const int hi = m_bucketStart[static_cast<size_t>(bucket) + 1];
        // The far ends of the half-edges a few buckets on: a neighbour on the plan may lie
        // far off in plan order, and each bucket waits for them.
        if (bucket + kBucketsAhead < nBuckets) {
            const int to = m_bucketStart[static_cast<size_t>(bucket + kBucketsAhead) + 1];
            for (int j = m_bucketStart[static_cast<size_t>(bucket + kBucketsAhead)]; j < to; ++j) {
                PrefetchPoint(Q(Twin(j)));
                PrefetchPoint(m_unit.get() +
                              3 * static_cast<size_t>(m_slot[static_cast<size_t>(j)].id >> 1));
            }
        }
        // The direction w of a candidate j, from j's start to its end (the start of its twin),
        // exactly as the literal walk computes it.
        auto direction = [this](int j, double* w) {
            const double* p = Q(j);
            const double* o = Q(Twin(j));
            for (int a = 0; a < 3; ++a)
                w[a] = o[a] - p[a];
        };
        if (local.size() < static_cast<size_t>(hi - lo))
            local.resize(static_cast<size_t>(hi - lo));
        room(static_cast<size_t>(hi - lo));
        // A bucket whose start points are all the same to the last bit (a node drawn with
        // exact coordinates, the usual case) needs no point test per pair: every pair joins.
        const double* q0 = Q(lo);
        bool allSame = true;
        for (int j = lo; j < hi; ++j) {
            Local& l = local[static_cast<size_t>(j - lo)];
            const Slot& r = m_slot[static_cast<size_t>(j)];
            direction(j, l.w);
            UnitOfHalf(r.id, l.nw);
            l.id = r.id;
            l.twin = r.twin;
            allSame = allSame && r.q[0] == q0[0] && r.q[1] == q0[1] && r.q[2] == q0[2];
        }
        for (int t = lo; t < hi; ++t) {
            // The half-edge A -> B that ends at t's start: u = B - A, nu its unit vector
            // (minus t's, which runs back along the same segment).
            const double* b = Q(t);
            const double* a = Q(Twin(t));
            const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
            const double* back = local[static_cast<size_t>(t - lo)].nw;
            const double nu[3] = {-back[0], -back[1], -back[2]};
            nList = 0;
            // j's direction w and its unit vector nw, when j starts at B.
            auto consider = [&](int j, int id, const double* w, const double* nw) {
                const double z = u[0] * w[1] - u[1] * w[0];
                // Not a right turn.
                const int left = int{z > 0.0} | int{std::fabs(z) < kTolLength};
                // A straight continuation can round to a cosine of 1 + 1 ulp; unclamped it
                // would fail against the literal walk's initial best of exactly 1 and the panel
                // would be lost.
                const double cosine = ClampCos(nu[0] * nw[0] + nu[1] * nw[1] + nu[2] * nw[2]);
                // Not back along the same line, nor a direction that overflowed (NaN).
                const int ahead = int{std::fabs(1.0 + cosine) >= kTolLength};
                cosOf[nList] = cosine;
                idOf[nList] = id;
                slotOf[nList] = j;
                nList += static_cast<size_t>(left & ahead);
            };
            if (!(m_flags[static_cast<size_t>(t)] & kStraddles)) {
                for (int j = lo; j < hi; ++j) {
                    // t itself runs back along the arriving half-edge: a cosine of -1 within
                    // rounding, never taken.
                    if (j == t || !(allSame || SamePoint(Q(j), b)))
                        continue;
                    const Local& l = local[static_cast<size_t>(j - lo)];
                    consider(j, l.id, l.w, l.nw);
                }
            } else {
                // Near a cell face: the joining points may lie in up to two cells per axis,
                // and two cells under one key share a bucket, which is scanned once.
                int seen[8];
                int nSeen = 0;
                ForEachNearCell(b, [&](uint64_t key) {
                    const int found = m_cells.Find(key);
                    if (found < 0)
                        return;
                    const int c = m_rank[static_cast<size_t>(found)];
                    for (int i = 0; i < nSeen; ++i) {
                        if (seen[i] == c)
                            return;
                    }
                    seen[nSeen++] = c;
                    const int to = m_bucketStart[static_cast<size_t>(c) + 1];
                    // Room for every slot of this bucket beyond those already listed.
                    room(nList + static_cast<size_t>(to - m_bucketStart[static_cast<size_t>(c)]));
                    for (int j = m_bucketStart[static_cast<size_t>(c)]; j < to; ++j) {
                        if (!SamePoint(Q(j), b))
                            continue;
                        if (j >= lo && j < hi) {
                            const Local& l = local[static_cast<size_t>(j - lo)];
                            consider(j, l.id, l.w, l.nw);
                            continue;
                        }
                        double w[3], nw[3];
                        direction(j, w);
                        const int id = m_slot[static_cast<size_t>(j)].id;
                        UnitOfHalf(id, nw);
                        consider(j, id, w, nw);
                    }
                });
            }
            // Least cosine first, of equal cosines the higher index: a handful of entries. Two
            // (the usual case at a node of four lines) are put in order without a branch.
            if (nList == 2) {
                const int swap =
                    int{cosOf[1] < cosOf[0]} | (int{cosOf[1] == cosOf[0]} & int{idOf[1] > idOf[0]});
                const int first = slotOf[static_cast<size_t>(swap)];
                slotOf[1] = slotOf[static_cast<size_t>(1 - swap)];
                slotOf[0] = first;
            } else {
                for (size_t i = 1; i < nList; ++i) {
                    const double c = cosOf[i];
                    const int id = idOf[i], slot = slotOf[i];
                    size_t k = i;
                    for (; k > 0 && (c < cosOf[k - 1] || (c == cosOf[k - 1] && id > idOf[k - 1]));
                         --k) {
                        cosOf[k] = cosOf[k - 1];
                        idOf[k] = idOf[k - 1];
                        slotOf[k] = slotOf[k - 1];
                    }
                    cosOf[k] = c;
                    idOf[k] = id;
                    slotOf[k] = slot;
                }
            }
            int* next = m_slot[static_cast<size_t>(t)].next;
            next[0] = next[1] = next[2] = next[3] = -1;
            m_succ[static_cast<size_t>(local[static_cast<size_t>(t - lo)].twin)] =
                nList == 0 ? -1 : slotOf[0];
            for (size_t i = 0; i < nList && i < 2; ++i) {
                next[2 * i] = slotOf[i];
                next[2 * i + 1] = Twin(slotOf[i]);
            }
            if (nList > 2) {
                next[2] = -2 - static_cast<int>(m_more.size());
                next[3] = -1;
                for (size_t i = 1; i < nList; ++i) {
                    m_more.push_back(slotOf[i]);
                    m_more.push_back(Twin(slotOf[i]));
                }
                m_more.push_back(-1);
            }
        }
    }
    m_unit.reset();
}

void Walker::TraceRings() {
    // -2: not reached yet; -1: on no ring; -3 - i: at position i of the path being traced.
    constexpr int kUnseen = -2;
    m_ringOf.assign(m_nSlots, kUnseen);
    m_ringSlot.reserve(m_nSlots);
    m_ringStart.assign(1, 0);
    std::vector<int> path;
    const int nSlots = static_cast<int>(m_nSlots);
    for (int s0 = 0; s0 < nSlots; ++s0) {
        if (m_ringOf[static_cast<size_t>(s0)] != kUnseen)
            continue;
        path.clear();
        int cycleAt = -1;
        for (int x = s0;;) {
            m_ringOf[static_cast<size_t>(x)] = -3 - static_cast<int>(path.size());
            path.push_back(x);
            const int y = m_succ[static_cast<size_t>(x)];
            if (y < 0)
                break;
            const int seen = m_ringOf[static_cast<size_t>(y)];
            if (seen <= -3)
                cycleAt = -3 - seen;
            if (seen != kUnseen)
                break;  // back onto this path, or onto one traced before (no ring there)
            x = y;
        }
        // Only the slots of the cycle lie on a ring; a cycle of two closes with no face, and
        // is left to the step-by-step walk like the rest.
        const size_t n = path.size();
        const size_t from = cycleAt >= 0 && n - static_cast<size_t>(cycleAt) >= 3
                                ? static_cast<size_t>(cycleAt)
                                : n;
        for (size_t i = 0; i < from; ++i)
            m_ringOf[static_cast<size_t>(path[i])] = -1;
        if (from == n)
            continue;
        const int r = static_cast<int>(m_ringStart.size()) - 1;
        for (size_t i = from; i < n; ++i) {
            m_ringOf[static_cast<size_t>(path[i])] = r;
            m_ringSlot.push_back(path[i]);
        }
        m_ringStart.push_back(static_cast<int>(m_ringSlot.size()));
    }
    std::vector<int>().swap(m_succ);
    m_ringState.assign(m_ringStart.size() - 1, kRingOpen);
}

WalkFaces Walker::Run() {
    // The index is done with once the candidates are ranked.
    std::vector<int>().swap(m_bucketStart);
    std::vector<int>().swap(m_rank);
    m_cells.Release();
    TraceRings();
    const size_t nRings = m_ringState.size();

    // The line-order pass: the faces in the order the walks close them, each as its ring
    // (>= 0) or as -1 - i for the i-th face walked step by step, whose slots are kept; for a
    // ring taken whole, the slot its walk started from.
    std::vector<int> faceSrc;
    std::vector<int> ringFirst(nRings);
    std::vector<int> stepSlots, stepStart(1, 0);
    std::vector<int> walk;
    for (int h = 0; h < m_nHalf; ++h) {
        if (h + kLookAhead < m_nHalf) {
            const int s = m_slotOf[static_cast<size_t>(h + kLookAhead)];
            if (s >= 0)
                Prefetch(&m_ringOf[static_cast<size_t>(s)]);
        }
        // A half-edge a little closer that will be walked step by step unless an earlier walk
        // retires it: its flags and the record its first step reads.
        if (h + kLookAhead / 2 < m_nHalf) {
            const int s = m_slotOf[static_cast<size_t>(h + kLookAhead / 2)];
            if (s >= 0) {
                const int r = m_ringOf[static_cast<size_t>(s)];
                if (r < 0 || m_ringState[static_cast<size_t>(r)] == kRingBroken) {
                    Prefetch(&m_flags[static_cast<size_t>(s)]);
                    Prefetch(&m_slot[static_cast<size_t>(
                        m_slotOf[static_cast<size_t>(h + kLookAhead / 2) ^ 1])]);
                }
            }
        }
        const int first = m_slotOf[static_cast<size_t>(h)];
        if (first < 0)
            continue;
        const int r = m_ringOf[static_cast<size_t>(first)];
        if (r >= 0) {
            unsigned char& state = m_ringState[static_cast<size_t>(r)];
            if (state == kRingTaken)
                continue;
            // No half-edge of the ring retired yet: the walk from here is the ring.
            if (state == kRingOpen) {
                state = kRingTaken;
                ringFirst[static_cast<size_t>(r)] = first;
                faceSrc.push_back(r);
                continue;
            }
        }
        if (Retired(first))
            continue;
        walk.clear();
        walk.push_back(first);
        m_flags[static_cast<size_t>(first)] |= kOnWalk;
        bool closed = false;
        // t: the twin of the last half-edge on the walk (half-edge h ^ 1 is h's twin).
        for (int t = m_slotOf[static_cast<size_t>(h ^ 1)];;) {
            int cur;
            if (!NextStep(t, cur, t))
                break;  // a dead end
            if (cur == first) {
                closed = true;
                break;
            }
            // A cycle that does not pass through the first half-edge (two half-edges sent
            // to one successor) would never end: it is a dead end like a missing successor.
            unsigned char& flags = m_flags[static_cast<size_t>(cur)];
            if (flags & kOnWalk)
                break;
            flags |= kOnWalk;
            walk.push_back(cur);
        }
        // The rings these half-edges lie on can no longer be walked whole.
        for (const int s : walk) {
            m_flags[static_cast<size_t>(s)] |= kRetired;
            const int rs = m_ringOf[static_cast<size_t>(s)];
            if (rs >= 0)
                m_ringState[static_cast<size_t>(rs)] = kRingBroken;
        }
        // Two half-edges close a walk only where segments a few tolerances long join back
        // onto each other: no area, no face.
        if (!closed || walk.size() < 3)
            continue;
        faceSrc.push_back(-static_cast<int>(stepStart.size()));
        stepSlots.insert(stepSlots.end(), walk.begin(), walk.end());
        stepStart.push_back(static_cast<int>(stepSlots.size()));
    }
    std::vector<int>().swap(walk);
    std::vector<int>().swap(m_slotOf);
    std::vector<unsigned char>().swap(m_flags);
    std::vector<int>().swap(m_ringOf);

    // The corners go into blocks of whole faces in the order found, so that the caller can
    // make the faces in that order (it frees them in that order too) and free each block once
    // its faces are made. The blocks and the place of each face are laid out first; the faces
    // walked step by step are copied at once, the rings afterwards in plan order, where their
    // records lie close together.
    auto corners = [&](int src, const int*& slots) {
        if (src >= 0) {
            slots = m_ringSlot.data() + m_ringStart[static_cast<size_t>(src)];
            return m_ringStart[static_cast<size_t>(src) + 1] -
                   m_ringStart[static_cast<size_t>(src)];
        }
        slots = stepSlots.data() + stepStart[static_cast<size_t>(-1 - src)];
        return stepStart[static_cast<size_t>(-src)] - stepStart[static_cast<size_t>(-1 - src)];
    };
    auto copy = [this](double* c, const int* slots, int n, int from) {
        for (int i = 0, k = from; i < n; ++i, k = k + 1 == n ? 0 : k + 1) {
            const double* q = Q(slots[k]);
            c[0] = q[0];
            c[1] = q[1];
            c[2] = q[2];
            c += 3;
        }
    };
    WalkFaces out;
    out.count = static_cast<int>(faceSrc.size());
    for (const int src : faceSrc) {
        const int* slots;
        const int n = corners(src, slots);
        // A face larger than a block has a block of its own.
        if (out.blocks.empty() || (out.blocks.back().faceStart.size() > 1 &&
                                   out.blocks.back().faceStart.back() + n > kWalkBlockCorners)) {
            out.blocks.emplace_back();
            out.blocks.back().faceStart.push_back(0);
        }
        std::vector<int>& start = out.blocks.back().faceStart;
        start.push_back(start.back() + n);
    }
    std::vector<double*> ringDest(nRings);
    size_t f = 0;
    for (WalkFaces::Block& block : out.blocks) {
        block.corners.reset(new double[3 * static_cast<size_t>(block.faceStart.back())]);
        for (size_t i = 0; i + 1 < block.faceStart.size(); ++i, ++f) {
            double* c = block.corners.get() + 3 * static_cast<size_t>(block.faceStart[i]);
            const int src = faceSrc[f];
            const int* slots;
            const int n = corners(src, slots);
            if (src >= 0)
                ringDest[static_cast<size_t>(src)] = c;
            else
                copy(c, slots, n, 0);
        }
    }
    std::vector<int>().swap(faceSrc);
    for (size_t r = 0; r < nRings; ++r) {
        if (r + kRingsAhead < nRings && m_ringState[r + kRingsAhead] == kRingTaken) {
            const size_t ahead = r + kRingsAhead;
            for (int i = m_ringStart[ahead]; i < m_ringStart[ahead + 1]; ++i)
                PrefetchPoint(Q(m_ringSlot[static_cast<size_t>(i)]));
            PrefetchForWrite(ringDest[ahead]);
            PrefetchForWrite(ringDest[ahead] + 3 * (m_ringStart[ahead + 1] - m_ringStart[ahead]) -
                             1);
        }
        if (m_ringState[r] != kRingTaken)
            continue;
        const int* slots;
        const int n = corners(static_cast<int>(r), slots);
        int from = 0;
        while (slots[from] != ringFirst[r])
            ++from;
        copy(ringDest[r], slots, n, from);
    }
    return out;
}

}  // namespace

WalkFaces WalkPlanFaces(const WalkSegments& segs) {
    Walker walker(segs);
    return walker.Run();
}

}  // namespace detail
}  // namespace rvn
