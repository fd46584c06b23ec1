#include "event_security.h"

#include <cstring>

namespace lensbeacon {
namespace {

// ACE header plus access mask, in front of the SID.
constexpr DWORD kAceFixedSize = sizeof(ACE_HEADER) + sizeof(ACCESS_MASK);
// The ACL header in front of the ACEs.
constexpr DWORD kAclHeaderSize = sizeof(ACL);

UniqueSid WellKnownSid(SID_IDENTIFIER_AUTHORITY authority, DWORD rid) {
    UniqueSid sid;
    if (!::AllocateAndInitializeSid(&authority, 1, rid, 0, 0, 0, 0, 0, 0, 0, sid.put())) {
        sid.reset();
    }
    return sid;
}

// Assembles an access-allowed ACE (flags OBJECT_INHERIT | CONTAINER_INHERIT)
// by hand and appends it to the ACL.
bool AppendAllowedAce(PACL acl, PSID sid, DWORD access) {
    const DWORD sidLength = ::GetLengthSid(sid);
    const DWORD aceSize = sidLength + kAceFixedSize;
    UniqueLocalMemory buffer(::LocalAlloc(LMEM_ZEROINIT, aceSize));
    if (!buffer) {
        return false;
    }
    auto* ace = static_cast<ACCESS_ALLOWED_ACE*>(buffer.get());
    ace->Header.AceType = ACCESS_ALLOWED_ACE_TYPE;
    ace->Header.AceFlags = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
    ace->Header.AceSize = static_cast<WORD>(aceSize);
    ace->Mask = access;
    if (!::CopySid(sidLength, &ace->SidStart, sid)) {
        return false;
    }
    return ::AddAce(acl, ACL_REVISION, MAXDWORD, ace, aceSize) != FALSE;
}

}  // namespace

bool EventSecurity::Build(DWORD everyoneAccess) {
    descriptor_.reset();
    acl_.reset();

    UniqueLocalMemory descriptor(::LocalAlloc(LMEM_ZEROINIT, SECURITY_DESCRIPTOR_MIN_LENGTH));
    if (!descriptor ||
        !::InitializeSecurityDescriptor(descriptor.get(), SECURITY_DESCRIPTOR_REVISION)) {
        return false;
    }

    const UniqueSid everyone = WellKnownSid(SECURITY_WORLD_SID_AUTHORITY, SECURITY_WORLD_RID);
    const UniqueSid system = WellKnownSid(SECURITY_NT_AUTHORITY, SECURITY_LOCAL_SYSTEM_RID);
    if (!everyone || !system) {
        return false;
    }

    const DWORD aclSize = kAclHeaderSize + kAceFixedSize + ::GetLengthSid(everyone.get()) +
                          kAceFixedSize + ::GetLengthSid(system.get());
    UniqueLocalMemory acl(::LocalAlloc(0, aclSize));
    if (!acl) {
        return false;
    }
    auto* aclHeader = static_cast<PACL>(acl.get());
    if (!::InitializeAcl(aclHeader, aclSize, ACL_REVISION) ||
        !AppendAllowedAce(aclHeader, everyone.get(), everyoneAccess) ||
        !AppendAllowedAce(aclHeader, system.get(), EVENT_ALL_ACCESS)) {
        return false;
    }
    if (!::SetSecurityDescriptorDacl(descriptor.get(), TRUE, aclHeader, FALSE)) {
        return false;
    }

    descriptor_ = std::move(descriptor);
    acl_ = std::move(acl);
    attributes_.nLength = sizeof(attributes_);
    attributes_.lpSecurityDescriptor = descriptor_.get();
    attributes_.bInheritHandle = FALSE;
    return true;
}

}  // namespace lensbeacon
