// The plug-in loaded the way a host loads it: by file name, with the two
// entry points looked up by name.
#include "lgsig/plugin.h"
#include "smallsignal.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include <filesystem>
#include <memory>

using dyma::test::TempDir;

namespace {

#ifdef _WIN32
// LoadLibrary wants a full Windows path; the folder of the DLL is searched
// for the DLLs it needs (kelsig2.dll).
struct Library {
    explicit Library(const char* path)
        : handle(LoadLibraryExW(std::filesystem::absolute(path).make_preferred().wstring().c_str(), nullptr,
                                LOAD_WITH_ALTERED_SEARCH_PATH)) {}
    ~Library() {
        if (handle) FreeLibrary(handle);
    }
    template <class F>
    F Entry(const char* name) const {
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
    }
    static std::string Error() { return "LoadLibrary error " + std::to_string(GetLastError()); }
    HMODULE handle;
};
#else
struct Library {
    explicit Library(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    ~Library() {
        if (handle) dlclose(handle);
    }
    template <class F>
    F Entry(const char* name) const {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    static std::string Error() { return dlerror(); }
    void* handle;
};
#endif

}  // namespace

TEST(PlugIn, HostLoadsRegistersAndReads) {
    Library library(LGSIG2_PATH);
    ASSERT_NE(library.handle, nullptr) << Library::Error();
    auto registerPlugIn = library.Entry<RegisterPlugInFunction>("RegisterPlugIn");
    auto getPlugIn = library.Entry<GetPlugInFunction>("GetPlugIn");
    ASSERT_NE(registerPlugIn, nullptr);
    ASSERT_NE(getPlugIn, nullptr);

    Quarnet::PlugInInfo info;
    registerPlugIn(&info);
    EXPECT_EQ(info.Name, "KGHM signals plugin");
    EXPECT_FALSE(info.Author.empty());
    EXPECT_EQ(info.Description,
              "Obsługa plików sygnałów Legnicko-Głogowskiego Okręgu Miedziowego. Wtyczka pozwala przetwarzać "
              "32-kanałowe sygnały zawarte w plikach MBI i MIN (KRAW v2.0) oraz nowe 64-kanałowe pliki MBJ ZG "
              "Rudna, ZG Polkowice-Sieroszowice i ZG Lubin (v1.0) oraz MIN i MBI ZG  Polkowice-Sieroszowice.");
    EXPECT_EQ(info.Value1, 1);
    EXPECT_EQ(info.Value2, 8);
    EXPECT_EQ(info.Value3, 4);
    EXPECT_EQ(info.Filter, "*.mbi;*.min;*.mbj");
    EXPECT_EQ(info.FileTypeName, "Pliki sygnałów LGOM");
    EXPECT_EQ(info.Identifier, "lgcd");

    TempDir dir;
    lgomgen::Write(dir.File("host.min"), lgsigtest::SmallSignal(lgomgen::Layout::MIN32));
    const std::string temp = dir.File("host.min.tmp");
    {
        std::unique_ptr<Kelo::signalprocessing> signal(getPlugIn(dir.File("host.min"), temp, nullptr, ""));
        ASSERT_NE(signal, nullptr);
        EXPECT_EQ(signal->GetChannelCount(), 3);
        EXPECT_EQ(signal->GetSample(2, 0), -32768.0);
        EXPECT_FALSE(signal->GetChannelExists(1));
        EXPECT_TRUE(std::filesystem::exists(temp));
    }
    EXPECT_FALSE(std::filesystem::exists(temp));

    // A file that cannot be read reaches the host as the plug-in's exception.
    const std::vector<std::string> options{"x"};
    try {
        std::unique_ptr<Kelo::signalprocessing> none(getPlugIn(dir.File("none.mbj"), temp, &options, ""));
        FAIL() << "a missing file was read";
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "File does not exist.");
    }
}
