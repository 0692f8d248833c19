#include "engine/ArchiveMemoryIo.h"

#include "engine/MemorySource.h"

namespace {

MemorySource* SourceOf(voidpf stream) { return static_cast<MemorySource*>(stream); }

voidpf ZCALLBACK OpenSource(voidpf opaque, const void* /*fileName*/, int mode)
{
    // Reading is all there is; a request to write cannot be served.
    if ((mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
    return opaque;
}

uLong ZCALLBACK ReadSource(voidpf /*opaque*/, voidpf stream, void* buffer, uLong size)
{
    return static_cast<uLong>(SourceOf(stream)->Read(buffer, size));
}

uLong ZCALLBACK WriteSource(voidpf /*opaque*/, voidpf /*stream*/, const void* /*buffer*/, uLong /*size*/)
{
    return 0;
}

ZPOS64_T ZCALLBACK TellSource(voidpf /*opaque*/, voidpf stream)
{
    return SourceOf(stream)->Tell();
}

long ZCALLBACK SeekSource(voidpf /*opaque*/, voidpf stream, ZPOS64_T offset, int origin)
{
    MemorySource::Origin from = MemorySource::Origin::Set;
    if (origin == ZLIB_FILEFUNC_SEEK_CUR) from = MemorySource::Origin::Current;
    else if (origin == ZLIB_FILEFUNC_SEEK_END) from = MemorySource::Origin::End;
    else if (origin != ZLIB_FILEFUNC_SEEK_SET) return -1;
    return SourceOf(stream)->Seek(static_cast<int64_t>(offset), from) ? 0 : -1;
}

int ZCALLBACK CloseSource(voidpf /*opaque*/, voidpf /*stream*/)
{
    return 0;  // the block belongs to the caller
}

// minizip reads its header fields byte by byte and takes a short read that
// is not reported as an error for "end of data" with a success code, going
// on with a field it never read: a read past the block is an error here.
int ZCALLBACK SourceError(voidpf /*opaque*/, voidpf stream)
{
    return SourceOf(stream)->LastReadWasShort() ? 1 : 0;
}

}  // namespace

void FillMemoryFileFunctions(zlib_filefunc64_def* functions, MemorySource* source)
{
    functions->zopen64_file = OpenSource;
    functions->zread_file = ReadSource;
    functions->zwrite_file = WriteSource;
    functions->ztell64_file = TellSource;
    functions->zseek64_file = SeekSource;
    functions->zclose_file = CloseSource;
    functions->zerror_file = SourceError;
    functions->opaque = source;
}
