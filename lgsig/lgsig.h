// The reader of LGOM signal files (.mbi, .min, .mbj of the KGHM mine
// networks). The constructor does the whole job: it checks the file, reads
// it, identifies its layout from the extension and the header identifier,
// fills the channel count, the start time, the station records and the
// channel activity, and copies every sample into the container's disk table
// on the temporary file it is given. Every failure leaves the constructor as
// an exception (QuaEIOError, QuaEWrongOperation, or the disk table's own);
// the temporary file is then gone.
#pragma once

#include "kelsig/signalprocessing.h"
#include "lgsig/lgomlayout.h"
#include "lgsig/qualib/rawfile.h"
#include "lgsig/quaexception.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace Quarnet {

class lgsig : public Kelo::signalprocessing {
public:
    // The fourth string is accepted for the plug-in interface and not used.
    lgsig(const std::string& fileName, const std::string& tempFileName,
          const std::vector<std::string>& options = {}, const std::string& reserved = {});
    ~lgsig() override;

    // SignalRange divided by the channel's Factor2 * Factor1 * HeaderScale;
    // 0 without station records or when that product is 0.
    virtual double GetRecounter(int channel);

    struct Identification {
        int formatCode = 0;
        std::string formatName;
        lgom::Layout layout = lgom::Layout::None;
    };
    // Identifies a file by its extension (any case) and its first 30 bytes:
    // for ".mbj" the last matching row stands, for ".mbi" and ".min" the
    // first; anything else is code 0 "Unknown".
    static Identification Identify(std::string_view extension, std::string_view identifier);

    // Compares the first n bytes of both texts as NUL-terminated strings.
    static bool CompareHeaders(std::string_view a, std::string_view b, int n);
    // Throws QuaEIOError "lgsig::IOErrorCheck(): Read error." followed by
    // the check site's description when result is negative.
    static void IOErrorCheck(const std::string& message, long long result);

    std::string TempFileName;
    int FileLength = -1;
    int BytesPerChannel = 0;
    std::uint8_t FormatCode = 0;
    std::string FormatName;
    std::uint16_t Day = 0;
    std::uint16_t Month = 0;
    std::uint16_t Year = 0;
    std::uint16_t Hour = 0;
    std::uint16_t Minute = 0;
    std::uint16_t Second = 0;
    std::uint16_t Millisecond = 0;
    double StartDate = 0.0;   // days since 1899-12-30
    double StartTime = 0.0;   // fraction of a day
    double StartDateTime = 0.0;
    double HeaderScale = 0.0;
    double SignalRange = 0.0;  // set by the program from its measuring range

protected:
    // Fill the sample table from the file's frames; dataStart in 16-bit
    // words.
    void ReadMIN32StyleChannels(int dataStart, int activeCount, int samplesPerChannel);
    void ReadMBI32StyleChannels(int dataStart, int samplesPerChannel);

private:
    static constexpr int kHeaderBufferSize = 8192;
    static constexpr int kRecordBufferSize = Kelo::kChannelSlots * lgom::record::kSize;

    void OpenSignalFile();
    void ReadIdentifier(std::array<char, lgom::kIdentifierLength + 1>& identifier);
    void ReadAt(std::int64_t offset, void* buffer, std::size_t size, const std::string& site);
    void ReadV26(bool withActivity);
    void ReadMIN32();
    void ReadMBI32();
    void ReadMBJ();
    // Counts the samples, creates the table and fills it: with activeCount
    // >= 0 from frames of the active channels only (MIN), otherwise from
    // frames of every channel; sets every channel's Length.
    void ReadSamples(int dataStartBytes, int activeCount);
    // The data start a header field gives, when it lies past the layout's
    // fixed header of headerSize bytes.
    static int DataStartAfterHeader(int dataStartBytes, int headerSize);
    void ReadChannelRecords(int tableOffset);
    int ReadActivity(int tableOffset);
    void SetStart(int year, int month, int day, int hour, int minute, int second, int millisecond);
    void SetChannelCount(int count, int limit);
    void SetSamplingRate(double rate);
    int SamplesPerChannel(int dataStartBytes, int divisor);
    void CheckTempFile() const;
    // Fills the table from frames of frameWords 16-bit words from dataStart
    // (in words) on; word k of every frame is a sample of channel
    // columns[k]. Sets those channels' extremes.
    void FillFromFrames(int dataStart, int frameWords, const std::vector<int>& columns, int samplesPerChannel);
    void FillRecordStations();
    void FillMbjStations();
    const unsigned char* Header() const { return HeaderBuffer.data(); }

    rawfile::UniqueHandle FileHandle;
    std::array<unsigned char, kHeaderBufferSize> HeaderBuffer{};
    std::array<unsigned char, kRecordBufferSize> ChannelInfoBuffer{};
    int SamplingRate = 0;  // whole samples per second, from the header
};

}  // namespace Quarnet
