// The benchmark runs the pipeline on a clip made from a photo and prints its result lines, and
// nothing else, on standard output. How fast it is is the benchmark's business, not this test's.

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

TEST(PipelineBench, PrintsItsLinesForAClipMadeFromAPhoto)
{
    QProcess bench;
    bench.start(QStringLiteral(TOVRA_PIPELINE_BENCH),
                {"--image", QDir(TOVRA_FACE_PHOTOS).filePath("2008_002506.jpg"), "--frames", "8"});
    ASSERT_TRUE(bench.waitForFinished(120000)) << qPrintable(bench.errorString());
    EXPECT_EQ(bench.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(bench.exitCode(), 0) << bench.readAllStandardError().toStdString();

    const QStringList lines = QString::fromUtf8(bench.readAllStandardOutput()).split('\n');
    ASSERT_EQ(lines.size(), 7) << qPrintable(lines.join('|'));
    EXPECT_EQ(lines[0], "frames 8");
    const QRegularExpression faces("^faces ([1-8])$");
    EXPECT_TRUE(faces.match(lines[1]).hasMatch()) << qPrintable(lines[1]);
    const QStringList names{"pipeline_ms_median", "pipeline_ms_p95", "baseline_ms_median"};
    for (int i = 0; i < 3; ++i) {
        const QRegularExpression figure("^" + names[i] + " [0-9]+\\.[0-9]+$");
        EXPECT_TRUE(figure.match(lines[2 + i]).hasMatch()) << qPrintable(lines[2 + i]);
    }
    EXPECT_TRUE(QRegularExpression("^landmarks_digest [0-9a-f]{16}$").match(lines[5]).hasMatch())
        << qPrintable(lines[5]);
    EXPECT_TRUE(lines[6].isEmpty());
}

TEST(PipelineBench, RefusesAMissingVideoOnStandardError)
{
    QProcess bench;
    bench.start(QStringLiteral(TOVRA_PIPELINE_BENCH), {"/nonexistent/clip.avi"});
    ASSERT_TRUE(bench.waitForFinished(60000));
    EXPECT_NE(bench.exitCode(), 0);
    EXPECT_TRUE(bench.readAllStandardOutput().isEmpty());
    EXPECT_FALSE(bench.readAllStandardError().isEmpty());
}

} // namespace
