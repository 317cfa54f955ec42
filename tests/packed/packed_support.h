// Helpers for the compressed-log tests: gzip members and raw deflate from zlib, and a tiny
// zip writer whose entries can lie about themselves (sizes, CRC, method, flags, cut data).
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace packed_support {

// data deflated: windowBits 31 gives a gzip member, -15 raw deflate.
inline std::string Deflate(const std::string& data, int level, int windowBits) {
    z_stream z = {};
    if (deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) return std::string();
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return result == Z_STREAM_END ? out : std::string();
}

inline std::string Gzip(const std::string& data, int level) { return Deflate(data, level, 31); }

// data as gzip members, one after another (as `gzip -c >>` appends them), split at cuts.
inline std::string GzipMembers(const std::string& data, int level, const std::vector<size_t>& cuts) {
    std::string out;
    size_t from = 0;
    for (size_t cut : cuts) {
        out += Gzip(data.substr(from, cut - from), level);
        from = cut;
    }
    return out + Gzip(data.substr(from), level);
}

inline uint32_t Crc(const std::string& data) {
    return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

struct ZipItem {
    std::string name;
    std::string data;
    uint16_t method = 8;        // 0 stored, 8 deflate, or another that the reader refuses
    uint16_t flags = 0;         // bit 0: encrypted
    int64_t declaredSize = -1;  // -1: the data's size
    uint32_t crcChange = 0;     // xor-ed into the recorded CRC-32
    int64_t keepPacked = -1;    // -1: every compressed byte; else only the first ones, recorded as all
};

inline void Put16(std::string* out, unsigned v) {
    out->push_back(static_cast<char>(v & 0xff));
    out->push_back(static_cast<char>((v >> 8) & 0xff));
}
inline void Put32(std::string* out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

// The archive: local headers with their data, then (withDirectory) the central directory and its end.
inline std::string MakeZip(const std::vector<ZipItem>& items, bool withDirectory = true) {
    std::string out;
    std::string central;
    for (const ZipItem& item : items) {
        std::string packed = item.method == 8 ? Deflate(item.data, 6, -15) : item.data;
        if (item.keepPacked >= 0) packed.resize(static_cast<size_t>(item.keepPacked));
        uint32_t crc = Crc(item.data) ^ item.crcChange;
        auto size =
            static_cast<uint32_t>(item.declaredSize >= 0 ? item.declaredSize : static_cast<int64_t>(item.data.size()));
        auto offset = static_cast<uint32_t>(out.size());
        auto header = [&](std::string* to, bool local) {
            Put32(to, local ? 0x04034b50 : 0x02014b50);
            if (!local) Put16(to, 20);
            Put16(to, 20);
            Put16(to, item.flags);
            Put16(to, item.method);
            Put32(to, 0);  // time and date
            Put32(to, crc);
            Put32(to, static_cast<uint32_t>(packed.size()));
            Put32(to, size);
            Put16(to, static_cast<unsigned>(item.name.size()));
            Put16(to, 0);
            if (!local) {
                Put16(to, 0);
                Put16(to, 0);
                Put16(to, 0);
                Put32(to, 0);
                Put32(to, offset);
            }
            *to += item.name;
        };
        header(&out, true);
        out += packed;
        header(&central, false);
    }
    if (!withDirectory) return out;
    auto at = static_cast<uint32_t>(out.size());
    out += central;
    Put32(&out, 0x06054b50);
    Put32(&out, 0);
    Put16(&out, static_cast<unsigned>(items.size()));
    Put16(&out, static_cast<unsigned>(items.size()));
    Put32(&out, static_cast<uint32_t>(central.size()));
    Put32(&out, at);
    Put16(&out, 0);
    return out;
}

}  // namespace packed_support
