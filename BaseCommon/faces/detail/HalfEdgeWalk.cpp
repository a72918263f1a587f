#include "BaseCommon/faces/detail/HalfEdgeWalk.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>

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
void UnitOf(const double* v, double* n) {
    const C3DVec u = C3DVec(v[0], v[1], v[2]).GetNormal();
    n[0] = u.x;
    n[1] = u.y;
    n[2] = u.z;
}

// One active half-edge, stored in the order of the grid buckets so that the candidates of a
// step lie side by side in memory, each with what the turn test needs. Its end point is the
// start point of its twin, which lies in the bucket that the next step scans. 56 bytes.
struct Slot {
    double q[3];  // start point
    double w[3];  // end point - start point, as the literal walk computes it
    int twin;     // slot of the half-edge back along the same segment
    int bucket;   // bucket of the start point's cell
};

class Walker {
public:
    // A plan node joins about four half-edges: room for a quarter as many cells as
    // half-edges keeps the table small enough to stay in cache; it grows when a plan needs
    // more.
    explicit Walker(const WalkSegments& segs)
        : m_nHalf(2 * segs.Count()), m_cells(static_cast<size_t>(m_nHalf) / 4) {
        BuildIndex(segs);
    }

    WalkFaces Run();

private:
    void BuildIndex(const WalkSegments& segs);
    // The half-edge that continues the walk from slot cur, or -1. nu holds the unit direction
    // of cur and receives that of the result.
    int Next(int cur, double* nu) const;

    int m_nHalf;
    // Not value-initialised: pass two writes every field of every slot.
    std::unique_ptr<Slot[]> m_slots;
    size_t m_nSlots = 0;
    std::vector<int> m_id;               // half-edge index of each slot (2k along segment k)
    std::vector<unsigned char> m_flags;  // per slot
    std::vector<int> m_slotOf;           // slot of each half-edge, -1 when it takes no part
    std::vector<int> m_bucketStart;      // one more entry than there are buckets
    // The bucket of each cell key. Two cells with one key (a 64-bit coincidence) share a
    // bucket, which costs time only.
    CellTable m_cells;
};

void Walker::BuildIndex(const WalkSegments& segs) {
    const int nSeg = m_nHalf / 2;
    m_slotOf.assign(static_cast<size_t>(m_nHalf), -1);
    m_bucketStart.reserve(static_cast<size_t>(m_nHalf) / 4 + 1);

    // First pass: the bucket of each end point of the segments that take part (kept in
    // m_slotOf for now), with the bucket sizes counted in m_bucketStart.
    std::vector<unsigned char> straddling(static_cast<size_t>(m_nHalf), 0);
    double xyz[6];
    int nActive = 0;
    for (int k = 0; k < nSeg; ++k) {
        if (!segs.Get(k, xyz) || !IsFinite3(xyz) || !IsFinite3(xyz + 3))
            continue;
        // Zero-length within the tolerance: every direction taken from it is rounding noise.
        if (SamePoint(xyz, xyz + 3))
            continue;
        for (int end = 0; end < 2; ++end) {
            bool straddles = false;
            const int b = m_cells.Insert(LocateCell(xyz + 3 * end, straddles));
            if (static_cast<size_t>(b) == m_bucketStart.size())
                m_bucketStart.push_back(0);
            m_slotOf[static_cast<size_t>(2 * k + end)] = b;
            straddling[static_cast<size_t>(2 * k + end)] = straddles;
            ++m_bucketStart[static_cast<size_t>(b)];
        }
        nActive += 2;
    }
    // Bucket sizes to bucket starts (exclusive prefix sums), one entry more for the end.
    int sum = 0;
    for (int& v : m_bucketStart) {
        const int n = v;
        v = sum;
        sum += n;
    }
    m_bucketStart.push_back(sum);

    // Second pass: each half-edge into the next free slot of its start point's bucket.
    // Ascending half-edge order keeps every bucket sorted by index.
    std::vector<int> fill(m_bucketStart.begin(), m_bucketStart.end() - 1);
    m_nSlots = static_cast<size_t>(nActive);
    m_slots.reset(new Slot[m_nSlots]);
    m_id.resize(static_cast<size_t>(nActive));
    m_flags.assign(static_cast<size_t>(nActive), 0);
    for (int k = 0; k < nSeg; ++k) {
        const int bucket[2] = {m_slotOf[static_cast<size_t>(2 * k)],
                               m_slotOf[static_cast<size_t>(2 * k + 1)]};
        if (bucket[0] < 0)
            continue;
        segs.Get(k, xyz);
        const int s[2] = {fill[static_cast<size_t>(bucket[0])]++,
                          fill[static_cast<size_t>(bucket[1])]++};
        for (int end = 0; end < 2; ++end) {
            Slot& sl = m_slots[static_cast<size_t>(s[end])];
            const double* p = xyz + 3 * end;
            const double* o = xyz + 3 * (1 - end);
            for (int a = 0; a < 3; ++a) {
                sl.q[a] = p[a];
                sl.w[a] = o[a] - p[a];
            }
            sl.twin = s[1 - end];
            sl.bucket = bucket[end];
            m_id[static_cast<size_t>(s[end])] = 2 * k + end;
            if (straddling[static_cast<size_t>(2 * k + end)])
                m_flags[static_cast<size_t>(s[end])] = kStraddles;
            m_slotOf[static_cast<size_t>(2 * k + end)] = s[end];
        }
    }
}

int Walker::Next(int cur, double* nu) const {
    const Slot& cs = m_slots[static_cast<size_t>(cur)];
    const Slot& end = m_slots[static_cast<size_t>(cs.twin)];
    const double* b = end.q;
    const double* u = cs.w;

    // The literal walk takes a candidate when its cosine is at most the best so far, in
    // ascending index order: the result is the least cosine, and of equal cosines the
    // highest index. Comparing on (cosine, index) gives that in any examination order.
    double best = 1.0;
    int bestId = -1;
    int result = -1;
    double bestNw[3] = {0.0, 0.0, 0.0};
    // The way back along the same segment is a candidate at every step. Its direction is
    // exactly -u, so its cosine is exactly -(nu . nu) and its turn exactly 0: when that is
    // a reversal, as it is for every unit nu, it is passed over without a square root.
    const bool skipTwin =
        std::fabs(1.0 + ClampCos(-(nu[0] * nu[0] + nu[1] * nu[1] + nu[2] * nu[2]))) < kTolLength;
    auto scan = [&](int bucket) {
        const int stop = m_bucketStart[static_cast<size_t>(bucket) + 1];
        for (int j = m_bucketStart[static_cast<size_t>(bucket)]; j < stop; ++j) {
            if (j == cs.twin && skipTwin)
                continue;
            const Slot& c = m_slots[static_cast<size_t>(j)];
            if ((m_flags[static_cast<size_t>(j)] & kRetired) || !SamePoint(c.q, b))
                continue;
            const double* w = c.w;
            const double z = u[0] * w[1] - u[1] * w[0];
            if (!(z > 0.0 || std::fabs(z) < kTolLength))
                continue;  // a right turn
            double nw[3];
            UnitOf(w, nw);
            // A straight continuation can round to a cosine of 1 + 1 ulp; unclamped it would
            // fail against the initial best of exactly 1 and the panel would be lost.
            const double cosine = ClampCos(nu[0] * nw[0] + nu[1] * nw[1] + nu[2] * nw[2]);
            if (std::fabs(1.0 + cosine) < kTolLength)
                continue;  // back along the same line
            const int id = m_id[static_cast<size_t>(j)];
            if (cosine < best || (cosine == best && id > bestId)) {
                best = cosine;
                bestId = id;
                result = j;
                bestNw[0] = nw[0];
                bestNw[1] = nw[1];
                bestNw[2] = nw[2];
            }
        }
    };

    if (!(m_flags[static_cast<size_t>(cs.twin)] & kStraddles)) {
        scan(end.bucket);
    } else {
        // Near a cell face: the joining points may lie in up to two cells per axis. A bucket
        // reached twice (two cells under one key) only repeats comparisons.
        ForEachNearCell(b, [&](uint64_t key) {
            const int bucket = m_cells.Find(key);
            if (bucket >= 0)
                scan(bucket);
        });
    }
    // The chosen half-edge's direction, as the next step would compute it.
    nu[0] = bestNw[0];
    nu[1] = bestNw[1];
    nu[2] = bestNw[2];
    return result;
}

WalkFaces Walker::Run() {
    WalkFaces out;
    out.faceStart.reserve(m_nSlots / 3 + 1);
    out.faceStart.push_back(0);
    std::vector<int> faceSlots;  // the slots of the faces' half-edges, face after face
    std::vector<int> walk;
    for (int h = 0; h < m_nHalf; ++h) {
        const int first = m_slotOf[static_cast<size_t>(h)];
        if (first < 0 || (m_flags[static_cast<size_t>(first)] & kRetired))
            continue;
        walk.clear();
        walk.push_back(first);
        m_flags[static_cast<size_t>(first)] |= kOnWalk;
        bool closed = false;
        double nu[3];
        UnitOf(m_slots[static_cast<size_t>(first)].w, nu);
        for (int cur = Next(first, nu); cur != -1; cur = Next(cur, nu)) {
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
        for (const int s : walk)
            m_flags[static_cast<size_t>(s)] |= kRetired;
        // Two half-edges close a walk only where segments a few tolerances long join back
        // onto each other: no area, no face.
        if (closed && walk.size() >= 3) {
            faceSlots.insert(faceSlots.end(), walk.begin(), walk.end());
            out.faceStart.push_back(static_cast<int>(faceSlots.size()));
        }
    }
    // The index is done with: free it before the corners take their room.
    std::vector<int>().swap(m_id);
    std::vector<unsigned char>().swap(m_flags);
    std::vector<int>().swap(m_slotOf);
    std::vector<int>().swap(m_bucketStart);
    m_cells.Release();
    out.corners.resize(3 * faceSlots.size());
    double* c = out.corners.data();
    for (const int s : faceSlots) {
        const double* q = m_slots[static_cast<size_t>(s)].q;
        *c++ = q[0];
        *c++ = q[1];
        *c++ = q[2];
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
