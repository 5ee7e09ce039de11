// pdfimport-host: stands in for the CAD host. Loads the import library,
// calls one entry point and prints what came back.
//
//   pdfimport-host [--lib PATH] [--entry GetPDFInfo|GetPDFInfo2|GetPDFInfoOut|GetPDFInfo2Out]
//
// Exit status: 0 after Convert, 1 after cancel (or a result file that could
// not be written), 2 when the library or the entry point can't be used.

#include "host/EntryPoints.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

enum ExitStatus { Converted = 0, Cancelled = 1, Unusable = 2 };

struct Arguments {
    std::string library;
    std::string entry = "GetPDFInfo2Out";
};

const char Usage[] =
    "usage: pdfimport-host [--lib PATH] [--entry GetPDFInfo|GetPDFInfo2|GetPDFInfoOut|GetPDFInfo2Out]\n";

bool IsKnownEntry(const std::string& name)
{
    return name == "GetPDFInfo" || name == "GetPDFInfo2" || name == "GetPDFInfoOut"
        || name == "GetPDFInfo2Out";
}

std::string ExecutableFolder()
{
    char buffer[4096];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof buffer)
        return ".";
    std::string exe(buffer, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/'));
}

bool ParseArguments(int argc, char** argv, Arguments& args)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        if ((option == "--lib" || option == "--entry") && i + 1 < argc) {
            (option == "--lib" ? args.library : args.entry) = argv[++i];
        } else {
            std::fprintf(stderr, "pdfimport-host: unexpected argument '%s'\n%s", argv[i], Usage);
            return false;
        }
    }
    if (!IsKnownEntry(args.entry)) {
        std::fprintf(stderr, "pdfimport-host: unknown entry point '%s'\n%s", args.entry.c_str(), Usage);
        return false;
    }
    if (args.library.empty())
        args.library = ExecutableFolder() + "/" + PDFIMPORT_LIBRARY_FROM_HOST;
    else if (args.library.find('/') == std::string::npos)
        args.library = "./" + args.library;  // a file name, not a search in the loader's path
    return true;
}

// Where the file-based entry points leave their result, found the way the
// library finds its temporary directory.
std::string ResultFilePath()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string dir = tmp && *tmp ? tmp : "/tmp/";
    if (dir.back() != '/')
        dir += '/';
    return dir + "PDFInfo.dat";
}

void PrintResultFile()
{
    const std::string path = ResultFilePath();
    std::printf("file: %s\n", path.c_str());
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::printf("file missing\n");
        return;
    }
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::printf("bytes: %zu\n", text.size());
    // Each line as it stands, with its CR LF end shown as a plain line end.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::printf("| %s\n", line.c_str());
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
}

// The out-parameters start as marks that let a cancelled call be checked
// for leaving them alone.
struct OutParameters {
    char* pdfPath = nullptr;
    char* rangeList = nullptr;
    int scaleToFit = -7;
    int fillSolid = -7;
    int keepLineWidth = -7;

    bool Untouched() const
    {
        return !pdfPath && !rangeList && scaleToFit == -7 && fillSolid == -7 && keepLineWidth == -7;
    }
    void Print() const
    {
        std::printf("InputFile: %s\n", pdfPath ? pdfPath : "(null)");
        std::printf("Ranglist: %s\n", rangeList ? rangeList : "(null)");
        std::printf("Scale it: %d\n", scaleToFit);
        std::printf("Fill it: %d\n", fillSolid);
        std::printf("Has width: %d\n", keepLineWidth);
    }
    // The library hands both texts over; they were allocated with new[].
    void Release()
    {
        delete[] pdfPath;
        delete[] rangeList;
        pdfPath = rangeList = nullptr;
    }
};

int CallWithOutParameters(void* symbol, const std::string& entry)
{
    OutParameters out;
    int result = 0;
    if (entry == "GetPDFInfo") {
        auto call = reinterpret_cast<GetPDFInfoFunction>(symbol);
        result = call(nullptr, &out.pdfPath, &out.rangeList, nullptr, &out.scaleToFit, &out.fillSolid,
                      &out.keepLineWidth, nullptr);
    } else {
        auto call = reinterpret_cast<GetPDFInfoOutFunction>(symbol);
        result = call(&out.pdfPath, &out.rangeList, nullptr, &out.scaleToFit, &out.fillSolid,
                      &out.keepLineWidth, nullptr);
    }
    std::printf("result: %d\n", result);
    if (result == 1)
        out.Print();
    else if (!out.Untouched())
        std::printf("warning: out-parameters changed although the import was cancelled\n");
    out.Release();
    return result;
}

int CallWithResultFile(void* symbol, const std::string& entry)
{
    int result = entry == "GetPDFInfo2" ? reinterpret_cast<GetPDFInfo2Function>(symbol)(nullptr)
                                         : reinterpret_cast<GetPDFInfo2OutFunction>(symbol)();
    std::printf("result: %d\n", result);
    if (result == 1)
        PrintResultFile();
    return result;
}

} // namespace

#if defined(__SANITIZE_ADDRESS__)
// The library's font lookup loses a buffer inside fontconfig while it parses
// its configuration; that is not ours to fix. Sanitizer builds only.
extern "C" __attribute__((visibility("default"))) const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}
#endif

int main(int argc, char** argv)
{
    Arguments args;
    if (!ParseArguments(argc, argv, args))
        return Unusable;

    void* library = dlopen(args.library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        std::fprintf(stderr, "pdfimport-host: cannot load library %s: %s\n", args.library.c_str(), dlerror());
        return Unusable;
    }
    std::printf("library: %s\nentry: %s\n", args.library.c_str(), args.entry.c_str());
    std::fflush(stdout);
    void* symbol = dlsym(library, args.entry.c_str());
    if (!symbol) {
        std::fprintf(stderr, "pdfimport-host: the library has no entry point %s\n", args.entry.c_str());
        dlclose(library);
        return Unusable;
    }
    const bool usesResultFile = args.entry == "GetPDFInfo2" || args.entry == "GetPDFInfo2Out";
    int result = usesResultFile ? CallWithResultFile(symbol, args.entry) : CallWithOutParameters(symbol, args.entry);
    dlclose(library);
    return result == 1 ? Converted : Cancelled;
}
