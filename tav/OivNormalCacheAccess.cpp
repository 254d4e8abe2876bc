#include "tav/OivNormalCacheAccess.h"

#include <Inventor/nodes/SoVertexShape.h>

namespace {

// A subclass may name its base's protected members to form pointers to them, which then apply
// to any vertex shape; this class is never instantiated.
class ProtectedMembers : public SoVertexShape {
public:
    static SoNormalCache* lock(SoVertexShape* shape, SoState* state) {
        return (shape->*&ProtectedMembers::generateAndReadLockNormalCache)(state);
    }
    static void unlock(SoVertexShape* shape) {
        (shape->*&ProtectedMembers::readUnlockNormalCache)();
    }
};

} // namespace

SoNormalCache* OivNormalCacheAccess::readLock(SoVertexShape* shape, SoState* state) {
    return ProtectedMembers::lock(shape, state);
}

void OivNormalCacheAccess::readUnlock(SoVertexShape* shape) {
    ProtectedMembers::unlock(shape);
}
