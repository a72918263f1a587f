// Internal engine of C3DFace::GenFaceByLine (not part of the library's interface; nothing
// here is exported). It runs the sharpest-left-turn walk over the half-edges of a set of
// plan segments on plain coordinates, with the half-edge start points indexed in a hash
// grid so that only the half-edges that start near a node are compared with each other.
//
// The faces, their order and their corners are those of the literal walk, which scans every
// half-edge at every step (C3DFace::FindNextPoint):
// - half-edge 2k runs along segment k from its begin to its end point, 2k+1 back;
// - a candidate continues the walk when its start point equals the current end point within
//   the point tolerance (each coordinate difference strictly below 1e-6) and it is not
//   retired; of the admissible candidates the one with the least turn cosine wins, and of
//   equal cosines the higher half-edge index;
// - a walk that reaches a half-edge already on it, or finds no candidate, is a dead end;
//   every walk retires its half-edges, and a closed walk of three or more makes a face.
#ifndef RVN_FACES_DETAIL_HALFEDGEWALK_H
#define RVN_FACES_DETAIL_HALFEDGEWALK_H

#include <memory>
#include <vector>

namespace rvn {
namespace detail {

// Faces per block of corners: about 24 KiB.
constexpr int kWalkBlockCorners = 1024;

// The faces found, in blocks of whole faces (about kWalkBlockCorners corners each, a larger
// face alone), so that the caller can free each block as soon as it has made its faces: the
// coordinates and the faces made of them never take their full room at the same time. In a
// block, face f has the corners faceStart[f] up to faceStart[f + 1] (exclusive), corner c at
// corners[3c], corners[3c + 1], corners[3c + 2]: the start points of the face's half-edges in
// walk order, exactly as the segments gave them. faceStart holds one more entry than there
// are faces in the block. The faces come in the order in which the walks close them; count is
// their number.
struct WalkFaces {
    struct Block {
        std::unique_ptr<double[]> corners;
        std::vector<int> faceStart;
    };
    std::vector<Block> blocks;
    int count = 0;
};

// The largest segment count the walk accepts: half-edge indices must fit an int.
constexpr int kMaxWalkSegments = (1 << 30) - 1;

// The segments to walk, read twice while the index is built and not kept.
class WalkSegments {
public:
    virtual ~WalkSegments() = default;
    // Number of segments; at most kMaxWalkSegments.
    virtual int Count() const = 0;
    // Writes begin x, y, z, then end x, y, z of segment k; false when there is no segment k
    // (a null entry), which then takes no part.
    virtual bool Get(int k, double* xyz6) const = 0;
};

// A segment whose two ends are equal within the point tolerance is ignored (neither walked
// nor a candidate). A segment with a non-finite coordinate can never be taken by the walk
// (its end never matches, its turn cosine is NaN), so it is left out as well.
WalkFaces WalkPlanFaces(const WalkSegments& segs);

}  // namespace detail
}  // namespace rvn

#endif  // RVN_FACES_DETAIL_HALFEDGEWALK_H
