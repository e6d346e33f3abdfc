// Writing the picture: complete or not at all, and a failure said after the
// report with status 1.
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "run_kova.h"
#include "svg_plot.h"

namespace {

std::vector<std::string> entries(const std::string &dir)
{
    std::vector<std::string> names;
    DIR *d = opendir(dir.c_str());
    while (const dirent *e = readdir(d))
        if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
            names.push_back(e->d_name);
    closedir(d);
    return names;
}

const std::string example = KOVA_SOURCE_DIR "/examples/cbcaconh-j.tab";

TEST(SvgFile, ReplacesTheFileWholeOrLeavesNothing)
{
    TempDir dir;
    const std::string file = dir.path() + "/fits.svg";
    std::string error;
    ASSERT_TRUE(writeSvgFile(file, "<svg/>\n", &error)) << error;
    EXPECT_EQ(readFile(file), "<svg/>\n");
    ASSERT_TRUE(writeSvgFile(file, "<svg></svg>\n", &error));
    EXPECT_EQ(readFile(file), "<svg></svg>\n");
    EXPECT_EQ(entries(dir.path()), std::vector<std::string>{"fits.svg"});

    // A directory in the way: the rename fails and the temporary goes.
    const std::string blocked = dir.path() + "/blocked.svg";
    ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
    EXPECT_FALSE(writeSvgFile(blocked, "<svg/>\n", &error));
    EXPECT_EQ(error.rfind("cannot write " + blocked + ": ", 0), 0u) << error;
    EXPECT_EQ(entries(dir.path()).size(), 2u);
}

TEST(SvgFile, UnwritablePlotIsSaidAfterTheReport)
{
    const std::string report = runKova({"kova", "-tab", example, "-noise", "45000"}).out;
    const RunResult r =
        runKova({"kova", "-tab", example, "-noise", "45000", "--plot", "/nonexistent/fits.svg"});
    EXPECT_EQ(r.out,
              report + "kova: cannot write /nonexistent/fits.svg: No such file or directory\n");
    EXPECT_EQ(r.status, 1);

    const RunResult err = runKova({"kova", "-err", "20", "--plot", "/nonexistent/j.svg"});
    EXPECT_EQ(err.status, 1);
    EXPECT_NE(err.out.find("kova: cannot write /nonexistent/j.svg"), std::string::npos);
}

TEST(SvgFits, EmptyReportStillGivesAPicture)
{
    const std::string svg = fitsSvg({}, {});
    EXPECT_NE(svg.find("No assignment was fitted."), std::string::npos);
    EXPECT_EQ(svg.rfind("</svg>\n"), svg.size() - 7);
}

}  // namespace
