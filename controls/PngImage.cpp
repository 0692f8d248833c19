#include "controls/PngImage.h"

#include <new>

#include <wrl/client.h>

#include "controls/Premultiply.h"

namespace {
const wchar_t kPngType[] = L"PNG";
// SHCreateMemStream is exported by ordinal only on the oldest systems.
const WORD kCreateMemStreamOrdinal = 12;

using CreateMemStreamFunction = IStream*(WINAPI*)(const BYTE*, UINT);

CreateMemStreamFunction CreateMemStream()
{
    // Looked up once; shlwapi stays loaded until the process ends, as the images do.
    static const CreateMemStreamFunction function = [] {
        HMODULE shlwapi = ::LoadLibraryW(L"shlwapi.dll");
        if (shlwapi == nullptr) return CreateMemStreamFunction{nullptr};
        FARPROC found = ::GetProcAddress(shlwapi, MAKEINTRESOURCEA(kCreateMemStreamOrdinal));
        return reinterpret_cast<CreateMemStreamFunction>(reinterpret_cast<void*>(found));
    }();
    return function;
}
}  // namespace

CImage* LoadPngImage(WORD nID)
{
    return LoadPngImageFrom(::GetModuleHandleW(nullptr), nID);
}

CImage* LoadPngImageFrom(HMODULE module, WORD nID)
{
    CImage* image = new (std::nothrow) CImage;
    if (image == nullptr) return nullptr;

    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(nID), kPngType);
    if (found == nullptr) return image;  // missing: empty, and nothing said
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* bytes = static_cast<const BYTE*>(loaded != nullptr ? ::LockResource(loaded) : nullptr);
    const DWORD size = ::SizeofResource(module, found);
    const CreateMemStreamFunction createStream = CreateMemStream();
    if (bytes == nullptr || createStream == nullptr) return image;

    Microsoft::WRL::ComPtr<IStream> stream;
    stream.Attach(createStream(bytes, size));
    if (stream == nullptr) return image;
    (void)image->Load(stream.Get());  // a failed decode leaves the image empty
    stream.Reset();

    if (image->GetBPP() == 32) PremultiplyAlpha(*image);
    return image;
}

void PremultiplyAlpha(CImage& image)
{
    if (image.IsNull() || image.GetBPP() != 32) return;
    PremultiplyPixels(static_cast<uint8_t*>(image.GetBits()), image.GetWidth(), image.GetHeight(), image.GetPitch());
}
