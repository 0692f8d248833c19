#include "engine/ProtectedFolder.h"

#include <sddl.h>

tn::UniqueLocalMemory ProtectedFolderDescriptor()
{
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(kProtectedFolderSddl, SDDL_REVISION_1, &descriptor,
                                                                nullptr)) {
        return tn::UniqueLocalMemory();
    }
    return tn::UniqueLocalMemory(descriptor);
}

BOOL CreateProtectedFolder(const std::wstring& path)
{
    const tn::UniqueLocalMemory descriptor = ProtectedFolderDescriptor();
    SECURITY_ATTRIBUTES attributes = {};
    attributes.nLength = sizeof(attributes);
    attributes.lpSecurityDescriptor = descriptor.get();
    attributes.bInheritHandle = FALSE;
    return ::CreateDirectoryW(path.c_str(), descriptor ? &attributes : nullptr);
}
