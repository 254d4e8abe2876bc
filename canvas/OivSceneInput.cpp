#include "canvas/OivSceneInput.h"

#include <Inventor/misc/SoProto.h>
#include <Inventor/misc/SoProtoInstance.h>
#include <Inventor/nodes/SoNode.h>

#include <pthread.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <filesystem>

namespace {

// The path Coin found the current file under, with links and relative steps resolved, so that one
// file has one name however it was reached.
std::string canonicalPath(const char* path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path ? path : "", error);
    return error ? std::string(path ? path : "") : resolved.string();
}

// The stack a read may use: a quarter of the importing thread's stack, leaving the rest to the
// host's own calls and to later traversals of what was read, and never more than is left below
// `here` after a reserve for the calls a single node's reading makes between two checks.
size_t stackBudget(uintptr_t here) {
    constexpr size_t kShareForReading = 4;
    constexpr size_t kReserve = 32 * 1024;
    // Only a thread the library cannot ask about (none on glibc) gets the usual main stack size.
    constexpr size_t kUnknownStack = size_t(8) << 20;
    pthread_attr_t attributes;
    if (pthread_getattr_np(pthread_self(), &attributes) != 0)
        return kUnknownStack / kShareForReading;
    void* lowest = nullptr;
    size_t size = 0;
    const bool known = pthread_attr_getstack(&attributes, &lowest, &size) == 0;
    pthread_attr_destroy(&attributes);
    if (!known)
        return kUnknownStack / kShareForReading;
    const uintptr_t bottom = reinterpret_cast<uintptr_t>(lowest) + kReserve;
    const size_t left = here > bottom ? here - bottom : 0;
    return std::min(size / kShareForReading, left);
}

// A binary file's size bounds every count in it; other files are not checked.
unsigned countLimit(bool binary, long long bytes) {
    return binary && bytes >= 0 ? unsigned(std::min<long long>(bytes, UINT_MAX)) : UINT_MAX;
}

long long fileSize(const char* path) {
    struct stat file;
    return path && stat(path, &file) == 0 ? static_cast<long long>(file.st_size) : -1;
}

constexpr const char* kUseKeyword = "USE";

uintptr_t stackPosition() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

} // namespace

OivSceneInput::OivSceneInput()
    : m_Limit(UINT_MAX), m_Suspect(false), m_BytesOpened(0), m_AfterUse(false), m_StackStart(0),
      m_StackBudget(0) {}

OivSceneInput::~OivSceneInput() {
    releaseNamedNodes();
}

SbBool OivSceneInput::openFile(const char* fileName, SbBool okIfNotFound) {
    m_Limit = UINT_MAX;
    m_Suspect = false;
    m_BytesOpened = 0;
    m_OpenFiles.clear();
    m_StackStart = stackPosition();
    m_StackBudget = stackBudget(m_StackStart);
    if (!SoInput::openFile(fileName, okIfNotFound))
        return FALSE;
    enterCurrentFile();
    return TRUE;
}

// Checked against the file Coin opened (found, perhaps, in a search directory), whatever name it
// was asked for. The entry is made before the header is read: an empty file is left again at once,
// through popFile, while its header is looked for.
void OivSceneInput::enterCurrentFile() {
    const char* path = getCurFileName();
    const long long bytes = fileSize(path);
    m_BytesOpened += std::max(bytes, 0LL);
    m_OpenFiles.push_back({canonicalPath(path), UINT_MAX});
    const size_t depth = m_OpenFiles.size();
    const bool binary = isBinary();
    if (m_OpenFiles.size() != depth)
        return;
    m_Limit = countLimit(binary, bytes);
    m_OpenFiles.back().limit = m_Limit;
}

// One comparison per number on the way through: these run for every integer of a binary file.
// Negative counts are refused by Coin itself; as unsigned they compare above any limit but the
// unchecked one, so they are left alone explicitly.
SbBool OivSceneInput::read(int& i) {
    if (!SoInput::read(i))
        return FALSE;
    return i < 0 || static_cast<unsigned>(i) <= m_Limit ? TRUE : refuse();
}

SbBool OivSceneInput::read(unsigned int& i) {
    if (!SoInput::read(i))
        return FALSE;
    return i <= m_Limit ? TRUE : refuse();
}

SbBool OivSceneInput::read(SbName& n, SbBool validIdent) {
    // The stack grows downwards on every platform the library runs on.
    const uintptr_t here = stackPosition();
    if (m_StackStart > here && m_StackStart - here > m_StackBudget)
        return FALSE;
    if (!SoInput::read(n, validIdent))
        return FALSE;
    m_AfterUse = n == kUseKeyword;
    return instantiatesProtoBeingDefined(n) ? FALSE : TRUE;
}

void OivSceneInput::addReference(const SbName& name, SoBase* base, SbBool addToGlobalDict) {
    SoInput::addReference(name, base, addToGlobalDict);
    if (!base)
        return;
    base->ref();
    ++m_NamedNodes[base];
}

SoBase* OivSceneInput::findReference(const SbName& name) const {
    SoBase* base = SoInput::findReference(name);
    if (!base || !m_AfterUse || !base->isOfType(SoNode::getClassTypeId()) ||
        base->isOfType(SoProtoInstance::getClassTypeId()))
        return base;
    const auto named = m_NamedNodes.find(base);
    return named != m_NamedNodes.end() && base->getRefCount() <= named->second ? nullptr : base;
}

void OivSceneInput::releaseNamedNodes() {
    // Moved out first: a node deleted here may take others with it, none of them read again.
    std::unordered_map<SoBase*, int> named;
    named.swap(m_NamedNodes);
    for (const auto& [base, count] : named)
        for (int i = 0; i < count; ++i)
            base->unref();
}

// Coin names only the innermost PROTO being read; the ones around it are remembered as they are
// met, and forgotten once reading is back outside them.
void OivSceneInput::followProtoDefinitions() {
    SoProto* current = getCurrentProto();
    if (!current) {
        m_ProtosBeingDefined.clear();
        return;
    }
    auto found = std::find(m_ProtosBeingDefined.begin(), m_ProtosBeingDefined.end(), current);
    if (found == m_ProtosBeingDefined.end())
        m_ProtosBeingDefined.push_back(current);
    else
        m_ProtosBeingDefined.erase(found + 1, m_ProtosBeingDefined.end());
}

// The name of a PROTO being defined, followed by an opening brace, is an instance of it inside its
// own definition. A DEF, USE or field of the same name is not followed by a brace.
bool OivSceneInput::instantiatesProtoBeingDefined(const SbName& name) {
    followProtoDefinitions();
    const bool beingDefined =
        std::any_of(m_ProtosBeingDefined.begin(), m_ProtosBeingDefined.end(),
                    [&name](const SoProto* proto) { return proto->getProtoName() == name; });
    if (!beingDefined)
        return false;
    char next = 0;
    if (!SoInput::read(next))
        return false;
    putBack(next);
    return next == '{';
}

SbBool OivSceneInput::refuse() {
    m_Suspect = true;
    return FALSE;
}

SbBool OivSceneInput::pushFile(const char* fileName) {
    if (!SoInput::pushFile(fileName))
        return FALSE;
    const std::string pushed = canonicalPath(getCurFileName());
    if (std::any_of(m_OpenFiles.begin(), m_OpenFiles.end(),
                    [&pushed](const OpenFile& open) { return open.path == pushed; })) {
        SoInput::popFile();
        return FALSE;
    }
    enterCurrentFile();
    return TRUE;
}

SbBool OivSceneInput::popFile(void) {
    if (!SoInput::popFile())
        return FALSE;
    if (!m_OpenFiles.empty())
        m_OpenFiles.pop_back();
    m_Limit = m_OpenFiles.empty() ? UINT_MAX : m_OpenFiles.back().limit;
    return TRUE;
}

void OivSceneInput::closeFile(void) {
    SoInput::closeFile();
    m_OpenFiles.clear();
    m_Limit = UINT_MAX;
    m_AfterUse = false;
    releaseNamedNodes();
}
