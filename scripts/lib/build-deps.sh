#!/usr/bin/env bash
# Builds minizip and libcurl for both MinGW targets from Debian's own source
# packages, cached outside the tree and keyed by source version and target.
set -euo pipefail
source "$(dirname "$0")/common.sh"
mkdir -p "$TN_CACHE/src"

source_dir() {   # package -> unpacked source folder (fetched once)
    local pkg=$1 dir version
    dir=$(ls -d "$TN_CACHE/src/$pkg"-*/*/ 2>/dev/null | sort -V | tail -1 || true)
    if [ -z "$dir" ]; then
        # Newest first; an index may name a version the pool does not hold yet.
        for version in $(apt-cache showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -rV | uniq); do
            local plain=${version#*:} tmp="$TN_CACHE/src/$pkg-${version#*:}.tmp"
            rm -rf "$tmp"; mkdir -p "$tmp"
            if (cd "$tmp" && apt-get source -qq "$pkg=$version" >/dev/null 2>&1); then
                mv "$tmp" "$TN_CACHE/src/$pkg-$plain"
                break
            fi
            tn_say "source $pkg $version could not be fetched; trying an older one"
            rm -rf "$tmp"
        done
        dir=$(ls -d "$TN_CACHE/src/$pkg"-*/*/ 2>/dev/null | sort -V | tail -1 || true)
        [ -n "$dir" ] || tn_die "no source package for $pkg could be fetched (is a deb-src entry there?)"
    fi
    echo "${dir%/}"
}

# The reader (unzip.c) for the installer, the writer (zip.c) for tn-pack.
build_minizip() {   # target source
    local target=$1 src=$2 version out
    version=$(basename "$(dirname "$src")"); out="$TN_CACHE/minizip-${version#zlib-}-$target"
    [ -f "$out/lib/libminizip.a" ] && [ -f "$out/include/minizip/zip.h" ] && return 0
    tn_say "building minizip for $target"
    rm -rf "$out.tmp"; mkdir -p "$out.tmp/lib" "$out.tmp/include/minizip"
    local file
    for file in ioapi unzip zip; do
        "$target-gcc" -O2 -DNOCRYPT= -DNOUNCRYPT -I/usr/$target/include -c "$src/contrib/minizip/$file.c" -o "$out.tmp/$file.o"
    done
    "$target-ar" rcs "$out.tmp/lib/libminizip.a" "$out.tmp/ioapi.o" "$out.tmp/unzip.o" "$out.tmp/zip.o"
    cp "$src/contrib/minizip/ioapi.h" "$src/contrib/minizip/unzip.h" "$src/contrib/minizip/zip.h" "$out.tmp/include/minizip/"
    rm -f "$out.tmp"/*.o
    # A cache made before the writer was added is replaced in one step.
    rm -rf "$out.old"
    [ ! -e "$out" ] || mv "$out" "$out.old"
    mv "$out.tmp" "$out"
    rm -rf "$out.old"
}

build_curl() {   # target source
    local target=$1 src=$2 version out
    version=$(basename "$(dirname "$src")"); out="$TN_CACHE/curl-${version#curl-}-$target"
    [ -f "$out/lib/libcurl.a" ] && return 0
    tn_say "building libcurl for $target (about 2 minutes)"
    local work="$TN_CACHE/build/curl-$target"
    rm -rf "$work" "$out.tmp"; mkdir -p "$work"
    cp -a "$src/." "$work/"
    (
        cd "$work"
        [ -x configure ] || autoreconf -fi >/dev/null 2>&1
        ./configure -q --host="$target" --prefix="$out.tmp" --disable-shared --enable-static \
            --without-ssl --with-zlib="/usr/$target" --enable-http \
            --disable-ftp --disable-file --disable-ldap --disable-ldaps --disable-rtsp --disable-dict \
            --disable-telnet --disable-tftp --disable-pop3 --disable-imap --disable-smb --disable-smtp \
            --disable-gopher --disable-mqtt --disable-manual --disable-ntlm --disable-ntlm-wb \
            --without-libpsl --without-brotli --without-zstd --without-nghttp2 --without-libidn2 \
            --without-librtmp --without-libssh2 --without-winidn --without-libgsasl \
            CFLAGS="-O2" CPPFLAGS="-I/usr/$target/include" LDFLAGS="-L/usr/$target/lib" >/dev/null
        make -s -C lib -j"$(nproc)" >/dev/null
        make -s -C lib install >/dev/null
        make -s -C include install >/dev/null
    )
    rm -rf "$work"
    mv "$out.tmp" "$out"
}

zlib_src=$(source_dir zlib)
curl_src=$(source_dir curl)
for target in $TN_TARGETS; do
    build_minizip "$target" "$zlib_src"
    build_curl "$target" "$curl_src"
done

# One stable name per target for CMake to find, whatever the versions are.
for target in $TN_TARGETS; do
    ln -sfn "$(ls -d "$TN_CACHE"/minizip-*-"$target" | sort -V | tail -1)" "$TN_CACHE/minizip-$target"
    ln -sfn "$(ls -d "$TN_CACHE"/curl-*-"$target" | sort -V | tail -1)" "$TN_CACHE/curl-$target"
done
