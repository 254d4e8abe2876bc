#include "canvas/OivSceneInput.h"

#include <Inventor/misc/SoProto.h>
#include <Inventor/misc/SoProtoInstance.h>
#include <Inventor/nodes/SoNode.h>

#include <sys/resource.h>
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

// The stack a read may use: a quarter of the process's stack size limit (of 8 MiB when there is
// none), leaving the rest to the host's own calls and to later traversals of what was read.
size_t stackBudget() {
    constexpr size_t kUnlimitedStack = size_t(8) << 20;
    constexpr size_t kShareForReading = 4;
    rlimit stack{};
    const bool limited = getrlimit(RLIMIT_STACK, &stack) == 0 && stack.rlim_cur != RLIM_INFINITY;
    return (limited ? size_t(stack.rlim_cur) : kUnlimitedStack) / kShareForReading;
}

constexpr const char* kUseKeyword = "USE";

uintptr_t stackPosition() {
    return reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
}

} // namespace

OivSceneInput::OivSceneInput()
    : m_Limit(UINT_MAX), m_Suspect(false), m_AfterUse(false), m_StackStart(0),
      m_StackBudget(stackBudget()) {}

OivSceneInput::~OivSceneInput() {
    releaseNamedNodes();
}

SbBool OivSceneInput::openFile(const char* fileName, SbBool okIfNotFound) {
    m_Limit = UINT_MAX;
    m_Suspect = false;
    m_OpenFiles.clear();
    m_StackStart = stackPosition();
    if (!SoInput::openFile(fileName, okIfNotFound))
        return FALSE;
    m_OpenFiles.push_back(canonicalPath(getCurFileName()));
    struct stat file;
    if (isBinary() && stat(fileName, &file) == 0)
        m_Limit = static_cast<unsigned>(std::min<off_t>(file.st_size, UINT_MAX));
    return TRUE;
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
    std::string pushed = canonicalPath(getCurFileName());
    if (std::find(m_OpenFiles.begin(), m_OpenFiles.end(), pushed) != m_OpenFiles.end()) {
        SoInput::popFile();
        return FALSE;
    }
    m_OpenFiles.push_back(std::move(pushed));
    return TRUE;
}

SbBool OivSceneInput::popFile(void) {
    if (!SoInput::popFile())
        return FALSE;
    if (!m_OpenFiles.empty())
        m_OpenFiles.pop_back();
    return TRUE;
}

void OivSceneInput::closeFile(void) {
    SoInput::closeFile();
    m_OpenFiles.clear();
    m_AfterUse = false;
    releaseNamedNodes();
}
