// Times DownloadFile of one URL into one file: DownloadBench.exe URL FILE [RUNS].
// For comparison it also times a plain WinINet read of the same URL into the same file with
// 1 MiB reads: what this emulated process can take in, apart from the HTTP stack's own reads.
// Prints the best run of each, for tests/bench/run-download-bench.sh.
#include <windows.h>
#include <wininet.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "DownloadFile.h"

namespace {

double Seconds(const std::function<bool()>& work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!work())
        return -1;
    QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool WinInetCopy(const char* url, const char* path)
{
    HINTERNET internet = InternetOpenA(nullptr, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    HINTERNET request = internet ? InternetOpenUrlA(internet, url, nullptr, 0, INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0)
                                 : nullptr;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    bool copied = request && file != INVALID_HANDLE_VALUE;
    std::vector<char> buffer(1024 * 1024);
    DWORD read = 0;
    while (copied && InternetReadFile(request, buffer.data(), DWORD(buffer.size()), &read) && read) {
        DWORD written = 0;
        copied = WriteFile(file, buffer.data(), read, &written, nullptr) && written == read;
    }
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    if (request)
        InternetCloseHandle(request);
    if (internet)
        InternetCloseHandle(internet);
    return copied;
}

LONGLONG FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return (LONGLONG(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Best bytes per second over the runs; 0 when a run fails.
double Best(const char* name, int runs, const char* path, const std::function<bool()>& work)
{
    double best = 0;
    for (int run = 0; run < runs; ++run) {
        const double seconds = Seconds(work);
        const LONGLONG bytes = FileSize(path);
        if (seconds <= 0 || bytes <= 0) {
            std::fprintf(stderr, "%s failed\n", name);
            return 0;
        }
        std::printf("run %s %d: %lld bytes in %.3f s\n", name, run + 1, static_cast<long long>(bytes), seconds);
        if (double(bytes) / seconds > best)
            best = double(bytes) / seconds;
    }
    return best;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: DownloadBench.exe URL FILE [RUNS]\n");
        return 2;
    }
    const char* url = argv[1];
    const char* path = argv[2];
    const int runs = argc > 3 ? std::atoi(argv[3]) : 3;
    const double download = Best("DownloadFile", runs, path, [&] { return DownloadFile(url, path, nullptr) == S_OK; });
    const double wininet = Best("WinINet", runs, path, [&] { return WinInetCopy(url, path); });
    // Last, so the file left behind is DownloadFile's, for the script's comparison.
    Best("DownloadFile", 1, path, [&] { return DownloadFile(url, path, nullptr) == S_OK; });
    std::printf("best_bytes_per_second %.0f\n", download);
    std::printf("wininet_bytes_per_second %.0f\n", wininet);
    return download > 0 && wininet > 0 ? 0 : 1;
}
