// varkel --plot on small data files: the image it writes, and the faults it names.

#include <gtest/gtest.h>

#include <QImage>
#include <QString>

#include "ChildProcess.h"
#include "TempDir.h"
#include "view/MeasurementPainter.h"

namespace {
const std::string kFixtures = CLI_FIXTURES;

int DarkPixels(const QImage& image, const CRect& area) {
    int dark = 0;
    for (int y = std::max(area.top, 0); y < std::min(area.bottom, image.height()); ++y) {
        for (int x = std::max(area.left, 0); x < std::min(area.right, image.width()); ++x) {
            if (qGray(image.pixel(x, y)) < 128) ++dark;
        }
    }
    return dark;
}
}  // namespace

TEST(PlotEndToEnd, DrawsBothChartsIntoAnImageOfTheRequestedSize) {
    TempDir dir;
    const std::string png = dir.File("run.png");
    const ProcessResult run =
        RunProcess(dir.Path().string(), VARKEL_PATH,
                   {"--plot", kFixtures + "/small-run.txt", "--png", png, "--size", "640x400"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;

    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(png), "PNG"));
    EXPECT_EQ(image.width(), 640);
    EXPECT_EQ(image.height(), 400);
    const ChartLayout charts = LayoutCharts(CRect(0, 0, 640, 400));
    EXPECT_GT(DarkPixels(image, charts.impedance), 200);
    EXPECT_GT(DarkPixels(image, charts.phase), 200);
    // The status text of the last line stands above the charts.
    EXPECT_GT(DarkPixels(image, CRect(0, 0, 640, 45)), 100);
}

TEST(PlotEndToEnd, NamesWhatIsWrongWithAFileAndFails) {
    TempDir dir;
    const std::string missingField = kFixtures + "/missing-field.txt";
    const std::string empty = kFixtures + "/empty.txt";
    const std::string absent = dir.File("absent.txt");
    const std::string unwritable = dir.File("missing/run.png");
    struct Case {
        std::string data;
        std::string png;
        std::string errStart;
    } const cases[] = {
        {missingField, dir.File("a.png"),
         missingField + ": line 3: expected seven numbers, found 6\n"},
        {empty, dir.File("b.png"), empty + ": the file holds no readings\n"},
        {absent, dir.File("c.png"), absent + ": No such file or directory\n"},
        {kFixtures + "/small-run.txt", unwritable, "Can't write image " + unwritable + ": "},
    };
    for (const Case& c : cases) {
        const ProcessResult run =
            RunProcess(dir.Path().string(), VARKEL_PATH, {"--plot", c.data, "--png", c.png});
        EXPECT_EQ(run.status, 1) << c.errStart;
        EXPECT_EQ(run.err.substr(0, c.errStart.size()), c.errStart);
        EXPECT_FALSE(std::filesystem::exists(c.png)) << c.png;
    }
}
