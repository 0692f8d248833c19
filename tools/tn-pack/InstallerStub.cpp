#include "tools/tn-pack/InstallerStub.h"

#include "framework/Handles.h"
#include "res/resource.h"
#include "tools/tn-pack/MappedFile.h"
#include "tools/tn-pack/ResourceTree.h"
#include "tools/tn-pack/StubSignature.h"

#include <windows.h>

namespace {

constexpr wchar_t kArchiveType[] = L"ZIP";
constexpr WORD kResourceLanguage = MAKELANGID(TN_RESOURCE_LANGUAGE_PRIMARY, TN_RESOURCE_LANGUAGE_SUB);

std::wstring ErrorText() { return L"(error " + std::to_wstring(GetLastError()) + L")"; }

// What the system's loader does not look at: the shape of the resource tree
// (the resource update copies a resource once for every path that leads to
// it) and where the signature lies.
PackOutcome CheckStubBytes(const std::wstring& stub, bool* isSigned)
{
    CMappedFile file;
    if (!file.Open(stub, false)) return PackOutcome::Fail(L"cannot read " + stub + L" " + ErrorText());
    const std::optional<ResourceWalk> walk = WalkImageResources(file.data(), file.size());
    if (walk && walk->sharesDirectories) {
        return PackOutcome::Refuse(stub + L" is not this installer: entries of its resource tree share directories, "
                                          L"which no linker writes");
    }
    const std::optional<StubSignature> signature = FindStubSignature(file.data(), file.size());
    if (signature && signature->shape == SignatureShape::Misplaced) {
        return PackOutcome::Refuse(stub + L": its certificate table (" + std::to_wstring(signature->tableSize) +
                                   L" bytes at " + std::to_wstring(signature->tableOffset) + L") does not end the " +
                                   std::to_wstring(file.size()) + L"-byte file, so its signature cannot be removed");
    }
    *isSigned = signature && signature->shape == SignatureShape::AtEnd;
    return PackOutcome::Done();
}

}  // namespace

PackOutcome CheckInstallerStub(const std::wstring& stub, bool* isSigned)
{
    // As data: nothing of the program runs, and its resources read as they are.
    tn::UniqueModule module(LoadLibraryExW(stub.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    if (!module) return PackOutcome::Refuse(stub + L" is not a program that can be read " + ErrorText());
    if (FindResourceW(module.get(), MAKEINTRESOURCEW(IDD_TNINSTALLER_DIALOG), RT_DIALOG) == nullptr) {
        return PackOutcome::Refuse(stub + L" is not this installer: it has no dialog 102");
    }
    if (FindResourceExW(module.get(), kArchiveType, MAKEINTRESOURCEW(IDR_PAYLOAD_ZIP), kResourceLanguage) == nullptr) {
        return PackOutcome::Refuse(stub + L" is not this installer: it has no \"ZIP\" 148 resource in language 2052");
    }
    module.reset();
    return CheckStubBytes(stub, isSigned);
}

PackOutcome ReplaceProductArchive(const std::wstring& path, const std::vector<uint8_t>& archive)
{
    tn::UniqueResourceUpdate update(BeginUpdateResourceW(path.c_str(), FALSE));
    if (!update) return PackOutcome::Fail(L"cannot update the resources of " + path + L" " + ErrorText());
    // The data is copied in; the const_cast only meets the old signature.
    void* data = const_cast<uint8_t*>(archive.data());
    if (!UpdateResourceW(update.get(), kArchiveType, MAKEINTRESOURCEW(IDR_PAYLOAD_ZIP), kResourceLanguage, data,
                         static_cast<DWORD>(archive.size()))) {
        return PackOutcome::Fail(L"cannot put the archive into " + path + L" " + ErrorText());
    }
    if (!EndUpdateResourceW(update.release(), FALSE)) {
        return PackOutcome::Fail(L"cannot write the resources of " + path + L" " + ErrorText());
    }
    return PackOutcome::Done();
}
