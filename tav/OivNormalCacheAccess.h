// The one place that reaches the normals Coin generates for a vertex shape and keeps in the
// shape's normal cache. Coin offers no public call that hands them out without copying them
// through a primitive generation; SoVertexShape keeps them behind two protected members:
//
//   SoNormalCache* SoVertexShape::generateAndReadLockNormalCache(SoState* const state);
//   void SoVertexShape::readUnlockNormalCache(void);
//
// as declared in Coin 4.0.0's Inventor/nodes/SoVertexShape.h (Debian's libcoin80c 4.0.0). The
// first (re)generates the cache when it is not valid for the state and read-locks it; the second
// releases that lock. The cache's public SoNormalCache::getNormals, getNum, getIndices and
// getNumIndices then read it. Should a later Coin rename, remove or change these members, this
// file stops compiling; should it change what they do, NormalCacheAccessTest fails.
#ifndef OIVWINTAV_OIVNORMALCACHEACCESS_H
#define OIVWINTAV_OIVNORMALCACHEACCESS_H

class SoNormalCache;
class SoState;
class SoVertexShape;

class OivNormalCacheAccess {
public:
    // Makes the shape's normal cache valid for the state if it is not, read-locks and returns it.
    static SoNormalCache* readLock(SoVertexShape* shape, SoState* state);
    // Releases the lock readLock took.
    static void readUnlock(SoVertexShape* shape);
};

#endif // OIVWINTAV_OIVNORMALCACHEACCESS_H
