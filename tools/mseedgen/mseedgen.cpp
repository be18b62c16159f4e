#include "mseedgen.h"

#include "common/textfile.h"

#include <libmseed.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace mseedgen {

namespace {

int LibraryEncoding(Encoding e) {
    switch (e) {
    case Encoding::Int16: return DE_INT16;
    case Encoding::Int32: return DE_INT32;
    case Encoding::Float32: return DE_FLOAT32;
    case Encoding::Float64: return DE_FLOAT64;
    case Encoding::Steim1: return DE_STEIM1;
    case Encoding::Steim2: return DE_STEIM2;
    case Encoding::Text: return DE_ASCII;
    }
    return DE_STEIM2;
}

void CopyCode(char (&target)[11], const std::string& code) {
    std::memset(target, 0, sizeof target);
    std::strncpy(target, code.c_str(), sizeof target - 1);
}

void AppendRecord(char* record, int length, void* handlerData) {
    static_cast<std::vector<std::string>*>(handlerData)->emplace_back(record, static_cast<size_t>(length));
}

struct RecordFree {
    void operator()(MSRecord* r) const {
        r->datasamples = nullptr;  // ours, not the library's
        msr_free(&r);
    }
};

}  // namespace

const char* EncodingName(Encoding e) {
    switch (e) {
    case Encoding::Int16: return "int16";
    case Encoding::Int32: return "int32";
    case Encoding::Float32: return "float32";
    case Encoding::Float64: return "float64";
    case Encoding::Steim1: return "Steim-1";
    case Encoding::Steim2: return "Steim-2";
    case Encoding::Text: return "text";
    }
    return "?";
}

std::int64_t Time(int year, int month, int day, int hour, int minute, int second, int microsecond) {
    int dayOfYear = 0;
    ms_md2doy(year, month, day, &dayOfYear);
    return ms_time2hptime(year, dayOfYear, hour, minute, second, microsecond);
}

std::vector<std::string> PackRecords(const Trace& t) {
    std::unique_ptr<MSRecord, RecordFree> msr(msr_init(nullptr));
    if (!msr) throw std::runtime_error("msr_init failed");
    CopyCode(msr->network, t.network);
    CopyCode(msr->station, t.station);
    CopyCode(msr->location, t.location);
    CopyCode(msr->channel, t.channel);
    msr->dataquality = t.quality;
    msr->starttime = t.start;
    msr->samprate = t.rate;
    msr->reclen = t.recordLength;
    msr->encoding = static_cast<std::int8_t>(LibraryEncoding(t.encoding));
    msr->byteorder = 1;  // big-endian, as SEED prefers
    // The fixed header keeps times to 100 microseconds; blockette 1001
    // holds the microseconds below that, and the library fills it in.
    if (t.start % 100 != 0) {
        blkt_1001_s extension{};
        if (!msr_addblockette(msr.get(), reinterpret_cast<char*>(&extension), sizeof extension, 1001, 0))
            throw std::runtime_error("msr_addblockette failed");
    }

    std::vector<std::int32_t> ints;
    std::vector<float> floats;
    std::vector<double> doubles;
    std::string text;
    switch (t.encoding) {
    case Encoding::Text:
        for (double v : t.samples) text += static_cast<char>(v);
        msr->datasamples = text.data();
        msr->sampletype = 'a';
        break;
    case Encoding::Float32:
        floats.assign(t.samples.begin(), t.samples.end());
        msr->datasamples = floats.data();
        msr->sampletype = 'f';
        break;
    case Encoding::Float64:
        doubles = t.samples;
        msr->datasamples = doubles.data();
        msr->sampletype = 'd';
        break;
    default:
        for (double v : t.samples) ints.push_back(static_cast<std::int32_t>(std::llround(v)));
        msr->datasamples = ints.data();
        msr->sampletype = 'i';
        break;
    }
    msr->numsamples = static_cast<std::int64_t>(t.samples.size());

    std::vector<std::string> records;
    std::int64_t packed = 0;
    const int count = msr_pack(msr.get(), &AppendRecord, &records, &packed, /*flush*/ 1, /*verbose*/ 0);
    if (count < 0 || packed != msr->numsamples)
        throw std::runtime_error(std::string("msr_pack failed for ") + t.station + " " + EncodingName(t.encoding));
    return records;
}

std::string Pack(const std::vector<Trace>& traces, bool interleaved) {
    std::vector<std::vector<std::string>> all;
    for (const Trace& t : traces) all.push_back(PackRecords(t));
    std::string out;
    if (!interleaved) {
        for (const auto& records : all)
            for (const std::string& r : records) out += r;
        return out;
    }
    size_t most = 0;
    for (const auto& records : all) most = std::max(most, records.size());
    for (size_t i = 0; i < most; ++i)
        for (const auto& records : all)
            if (i < records.size()) out += records[i];
    return out;
}

void WriteFile(const std::string& path, const std::vector<Trace>& traces, bool interleaved) {
    dyma::WriteFileAtomic(path, Pack(traces, interleaved));
}

}  // namespace mseedgen
