// Naming figure: camera names for 1,000 PC files whose long names all cut to the same base
// (DSC_000001.jpg ... DSC_001000.jpg) sent into a view of 1,000 rows that hold the names an
// earlier run of the same files got. Prints the time of all 1,000 names beside the goal and
// beside the rules walked as written (every name from its first candidate, every candidate
// against every name sent and every row), measured in the same run on 100 files into 100 rows
// (that walk is cubic in the count). Exits with 1 when a name is not the one the rules give.
#include <windows.h>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>
#include "transfer/CameraNames.h"

namespace {
const int kFiles = 1000;
const int kSmallFiles = 100;
const double kGoalMs = 100.0;
const int kRounds = 5;

double NowMs()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<std::string> DscPaths(int count)
{
    std::vector<std::string> paths;
    for (int i = 1; i <= count; ++i) {
        char path[64];
        snprintf(path, sizeof(path), "C:\\Pictures\\DSC_%06d.jpg", i);
        paths.push_back(path);
    }
    return paths;
}

// "DSC" counters as an earlier run gave them: DSC_00~1 ... DSC_00~9, DSC_0~10 ... DSC~1000.
std::string DscName(int counter)
{
    const std::string digits = std::to_string(counter);
    const std::string base = std::string("DSC_00").substr(0, 7 - digits.size());
    return base + "~" + digits + ".JPG";
}

std::vector<std::string> DscRows(int count)
{
    std::vector<std::string> rows;
    for (int i = 1; i <= count; ++i) rows.push_back(DscName(i));
    return rows;
}

// The names through CameraNameSet: rows seeded, each name added as sent.
std::vector<std::string> NameWithSet(const std::vector<std::string>& paths, const std::vector<std::string>& rows)
{
    CameraNameSet taken;
    for (const std::string& row : rows) taken.Add(row.c_str());
    std::vector<std::string> names;
    for (const std::string& path : paths) {
        char name[kCameraNameBuffer] = "";
        if (FAILED(taken.MakeCameraName(path.c_str(), name))) name[0] = '\0';
        names.push_back(name);
        taken.Add(name);
    }
    return names;
}

// The rules as written: a block of names sent compared exactly, the rows without regard to case.
std::vector<std::string> NameLiterally(const std::vector<std::string>& paths, const std::vector<std::string>& rows)
{
    std::vector<std::string> sent;
    for (const std::string& path : paths) {
        char name[kCameraNameBuffer] = "";
        FirstCameraName(path.c_str(), name);
        for (bool clash = true; clash;) {
            clash = false;
            for (const std::string& earlier : sent) clash = clash || earlier == name;
            for (size_t row = 0; !clash && row < rows.size(); ++row) clash = lstrcmpiA(rows[row].c_str(), name) == 0;
            if (clash && !NextCameraName(name)) break;
        }
        sent.push_back(name);
    }
    return sent;
}
}  // namespace

int main()
{
    const std::vector<std::string> paths = DscPaths(kFiles);
    const std::vector<std::string> rows = DscRows(kFiles);
    double best = 1e300;
    std::vector<std::string> names;
    for (int round = 0; round < kRounds; ++round) {
        const double start = NowMs();
        names = NameWithSet(paths, rows);
        best = std::min(best, NowMs() - start);
    }
    bool right = names.size() == static_cast<size_t>(kFiles);
    for (int i = 0; right && i < kFiles; ++i) right = names[i] == DscName(kFiles + 1 + i);

    const std::vector<std::string> smallPaths = DscPaths(kSmallFiles);
    const std::vector<std::string> smallRows = DscRows(kSmallFiles);
    const double start = NowMs();
    const std::vector<std::string> literal = NameLiterally(smallPaths, smallRows);
    const double literalMs = NowMs() - start;
    right = right && literal == NameWithSet(smallPaths, smallRows);

    printf("naming: %d names into %d rows %.2f ms (goal < %.0f ms; rules walked as written, %d into %d rows: %.2f ms)%s\n",
           kFiles, kFiles, best, kGoalMs, kSmallFiles, kSmallFiles, literalMs, right ? "" : " WRONG NAMES");
    return right ? 0 : 1;
}
