// Internal helper (not part of the library's interface): frees the objects of an owning
// array when the scope ends, so a temporary array is emptied on every return path, also
// when an exception passes through.
#ifndef RVN_FACES_DETAIL_ARRAYGUARD_H
#define RVN_FACES_DETAIL_ARRAYGUARD_H

namespace rvn {
namespace detail {

template <class Array>
class DeepRemoveGuard {
public:
    explicit DeepRemoveGuard(Array& a) : m_a(a) {}
    ~DeepRemoveGuard() { m_a.DeepRemoveAll(); }
    DeepRemoveGuard(const DeepRemoveGuard&) = delete;
    DeepRemoveGuard& operator=(const DeepRemoveGuard&) = delete;

private:
    Array& m_a;
};

}  // namespace detail
}  // namespace rvn

#endif  // RVN_FACES_DETAIL_ARRAYGUARD_H
