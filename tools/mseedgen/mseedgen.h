// miniSEED fixtures written by libmseed (msr_pack), never by hand: one
// stretch of samples of one stream per Trace, packed into records of the
// chosen length and encoding.
//
//   mseedgen::Trace t;
//   t.station = "RUD01";
//   t.channel = "HHZ";
//   t.start = mseedgen::Time(2024, 3, 14, 7, 42, 16, 123456);
//   t.rate = 500;
//   t.encoding = mseedgen::Encoding::Steim2;
//   t.samples = {...};
//   mseedgen::WriteFile("tremor.mseed", {t});
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mseedgen {

// The data encodings of SEED data records that carry samples.
// Text writes a log record: the samples are its characters.
enum class Encoding { Int16, Int32, Float32, Float64, Steim1, Steim2, Text };
const char* EncodingName(Encoding encoding);

struct Trace {
    std::string network = "PL";
    std::string station = "STA01";
    std::string location;
    std::string channel = "HHZ";
    char quality = 'D';
    std::int64_t start = 0;  // first sample, microseconds since 1970-01-01 UTC
    double rate = 500.0;     // samples per second
    Encoding encoding = Encoding::Steim2;
    int recordLength = 512;  // bytes, a power of two from 256
    std::vector<double> samples;  // integer encodings take the values as whole numbers
};

// Microseconds since 1970-01-01 UTC.
std::int64_t Time(int year, int month, int day, int hour, int minute, int second, int microsecond = 0);

// The records of every trace, one trace after another, or (interleaved)
// one record of each trace in turn, as a recorder writes several streams.
// Throws std::runtime_error when libmseed cannot pack a trace.
std::string Pack(const std::vector<Trace>& traces, bool interleaved = false);
void WriteFile(const std::string& path, const std::vector<Trace>& traces, bool interleaved = false);

// The records of one trace, each as its bytes (for tests that damage or
// drop one record).
std::vector<std::string> PackRecords(const Trace& trace);

}  // namespace mseedgen
