// Fuzzes the compressed-log reader: the input is taken as a gzip stream or zip archive as it
// stands, or first made into a good one (gzip members or a zip entry from the input's text,
// with tiny access-point spans) and then damaged (cut, bytes changed). Whatever it holds,
// reading must not fail the sanitizers, the bytes read in order must be what another handle
// reads at random places and backwards, the size must be known once the end was read, and
// the loader's index must lie within it, marked damaged exactly when the reader found damage.
#include <zlib.h>

#include <memory>
#include <string>

#include "document/access_points.h"
#include "document/file.h"
#include "loader/log_loader.h"
#include "fuzz_support.h"

namespace {

using fuzzing::FuzzInput;

std::string Deflate(const std::string& data, int level, int windowBits) {
    z_stream z = {};
    if (deflateInit2(&z, level, Z_DEFLATED, windowBits, 8, Z_DEFAULT_STRATEGY) != Z_OK) return std::string();
    std::string out(deflateBound(&z, static_cast<uLong>(data.size())) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(&out[0]);
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

void Put(std::string* out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<char>((v >> (8 * i)) & 0xff));
}

// One entry, deflated or stored, with its central directory.
std::string Zip(const std::string& data, bool deflated) {
    std::string packed = deflated ? Deflate(data, 6, -15) : data;
    uint32_t crc =
        static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
    std::string out;
    std::string central;
    for (int local = 1; local >= 0; --local) {
        std::string* to = local ? &out : &central;
        Put(to, local ? 0x04034b50 : 0x02014b50, 4);
        if (!local) Put(to, 20, 2);
        Put(to, 20, 2);
        Put(to, 0, 2);
        Put(to, deflated ? 8 : 0, 2);
        Put(to, 0, 4);
        Put(to, crc, 4);
        Put(to, static_cast<uint32_t>(packed.size()), 4);
        Put(to, static_cast<uint32_t>(data.size()), 4);
        Put(to, 5, 2);
        Put(to, 0, 2);
        if (!local) {
            Put(to, 0, 4);
            Put(to, 0, 4);
            Put(to, 0, 4);
            Put(to, 0, 4);
        }
        *to += "a.log";
        if (local) out += packed;
    }
    uint32_t at = static_cast<uint32_t>(out.size());
    out += central;
    Put(&out, 0x06054b50, 4);
    Put(&out, 0, 4);
    Put(&out, 1, 2);
    Put(&out, 1, 2);
    Put(&out, static_cast<uint32_t>(central.size()), 4);
    Put(&out, at, 4);
    Put(&out, 0, 2);
    return out;
}

// A good archive of the input's text (repeated, so that it spans several points), damaged.
std::string Made(FuzzInput* in) {
    int kind = in->Byte() % 4;
    int repeat = 1 + in->Byte() % 64;
    int level = in->Byte() % 10;
    size_t cutAt = in->Word();
    int changes = in->Byte() % 4;
    size_t places[4];
    unsigned char values[4];
    for (int i = 0; i < changes; ++i) {
        places[i] = in->Word();
        values[i] = in->Byte();
    }
    std::string text = in->Rest();
    std::string log;
    for (int i = 0; i < repeat; ++i) log += text;
    std::string out;
    if (kind == 0) out = Deflate(log, level, 31);
    if (kind == 1) out = Deflate(log.substr(0, log.size() / 3), level, 31) + Deflate(log.substr(log.size() / 3), 9, 31);
    if (kind >= 2) out = Zip(log, kind == 2);
    for (int i = 0; i < changes && !out.empty(); ++i) out[places[i] % out.size()] = static_cast<char>(values[i]);
    if (cutAt < out.size() && (cutAt & 1) != 0) out.resize(cutAt);
    return out;
}

// Reads the whole log in order, in pieces of the given size.
std::string ReadAll(CFile* file, uint32_t piece) {
    std::string out;
    std::string buffer(piece, '\0');
    for (;;) {
        uint32_t n = file->Read(&buffer[0], piece, out.size());
        if (n == 0) break;
        out.append(buffer, 0, n);
        FUZZ_CHECK(out.size() <= (64u << 20));
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput in(data, size);
    bool make = in.Flag();
    int entry = static_cast<int>(in.Byte() % 3) - 1;
    uint32_t piece = 1 + in.Word() % 5000;
    uint32_t seed = in.Word();
    g_accessPointRules.spacing = 64 + seed % 4096;
    g_accessPointRules.windowShare = 1;
    std::string bytes = make ? Made(&in) : in.Rest();

    CFile file;
    FUZZ_CHECK(file.OpenBytes(bytes.data(), bytes.size()));
    if (!file.Unpack(entry)) {
        FUZZ_CHECK(file.UnpackError() != CUnpackError::kNone && !file.IsPacked());
        return 0;
    }
    if (!file.IsPacked()) return 0;
    std::string log = ReadAll(&file, piece);
    FUZZ_CHECK(file.SizeKnown());
    FUZZ_CHECK(file.Size() == log.size());
    std::unique_ptr<CFile> other = OpenAnotherHandle(&file);
    FUZZ_CHECK(other != nullptr);
    // Backwards through the log, and at places the seed picks.
    std::string buffer(piece + 7, '\0');
    for (uint64_t end = log.size(); end > 0;) {
        uint64_t start = end > piece ? end - piece : 0;
        uint32_t n = other->Read(&buffer[0], static_cast<uint32_t>(end - start + 7), start);
        FUZZ_CHECK(n == (log.size() - start < end - start + 7 ? log.size() - start : end - start + 7));
        FUZZ_CHECK(buffer.compare(0, n, log, start, n) == 0);
        end = start;
        if (log.size() > 20 * piece) end = end > (seed % 7 + 3) * piece ? end - (seed % 7 + 3) * piece : 0;
    }
    CLoadRequest request;
    CLoadResult result;
    request.blockSize = 64 + seed % 1000;
    request.result = &result;
    CLogLineList errors;
    std::unique_ptr<CLogLineList> lines = LoadLogLines(other.get(), request, &errors);
    FUZZ_CHECK(lines != nullptr);
    FUZZ_CHECK((result.status == CLoadStatus::kDamaged) == (file.UnpackError() != CUnpackError::kNone));
    CLogLine last;
    if (lines->Get(lines->Count() - 1, &last))
        FUZZ_CHECK(last.offset + static_cast<uint64_t>(last.length) <= log.size());
    return 0;
}
