// SPDX-License-Identifier: GPL-3.0-or-later
// The disk-usage charts on a large tree: scans FOLDER through the tool as the program does, then
// times one full frame of the results page with the ring (the chart's layout, drawScene, and the
// paint of the whole page) and one hit test under the pointer, reports the process's peak memory
// after the scan, and then shows the same tree as a treemap and times its frame (the layout of
// the visible levels and their paint), the layout alone and one pointer move. Runs offscreen.
//
//   diskusage_chart_bench FOLDER [FRAMES]
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "diskusage/RingHitTest.h"
#include "diskusage/ui/DiskUsageRingPage.h"
#include "diskusage/ui/DiskUsageTool.h"
#include "diskusage/ui/RingChartView.h"
#include "diskusage/ui/TreemapView.h"
#include "ui/QtMainQueue.h"
#include "ui/WorkRunner.h"

using namespace quillby;

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// VmHWM or VmRSS of this process in megabytes.
double memoryMB(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(field, 0) == 0) return std::stod(line.substr(line.find(':') + 1)) / 1024.0;
    }
    return 0;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: diskusage_chart_bench FOLDER [FRAMES]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QtMainQueue queue;
    int frames = argc > 2 ? std::max(1, std::atoi(argv[2])) : 30;

    DiskUsageTool::Options options;
    options.environment.homeFolder = argv[1];
    DiskUsageTool tool({.queue = &queue}, std::move(options));
    tool.controller().setShowStyle(true);
    auto scanStart = Clock::now();
    tool.controller().folderChosen(argv[1]);
    while (!tool.controller().bSearchFinished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    double scanMs = millisecondsSince(scanStart);
    PieTree* chart = tool.controller().diskView().chart();
    if (!chart) {
        std::fprintf(stderr, "the scan gave no tree\n");
        return 1;
    }

    QWidget* page = tool.resultsPage();
    page->resize(1000, 700);
    page->show();
    QCoreApplication::processEvents();
    double afterScanPeak = memoryMB("VmHWM");

    // One frame: everything the page paints, the chart's drawScene included.
    QImage target(page->size(), QImage::Format_ARGB32_Premultiplied);
    std::vector<double> frameMs;
    std::vector<double> sceneMs;
    std::size_t sectors = 0;
    for (int i = 0; i < frames; ++i) {
        target.fill(Qt::transparent);
        auto start = Clock::now();
        page->render(&target);
        frameMs.push_back(millisecondsSince(start));
        start = Clock::now();
        sectors = chart->drawScene().size();
        sceneMs.push_back(millisecondsSince(start));
    }

    // One hit test under the pointer, in the middle of the second ring, and the whole pointer
    // move (hit test, bubble, redraw request).
    RingRadii ring = ringRadii(2);
    double radius = (ring.inner + ring.outer) / 2;
    std::vector<double> hitMs;
    std::vector<double> moveMs;
    RingHit hit;
    QWidget* ringView = tool.ringPage()->chartView();
    RingViewport viewport(ringView->width(), ringView->height());
    double x = 0, y = 0;
    viewport.toPixel(0, radius, x, y);
    for (int i = 0; i < frames; ++i) {
        auto start = Clock::now();
        hit = hitTest(*chart->icCurrentPtr, radius, 0.5);
        hitMs.push_back(millisecondsSince(start));
        start = Clock::now();
        tool.controller().diskView().mouseMoved({x, y, 0.0f, 0.0f});
        moveMs.push_back(millisecondsSince(start));
    }

    std::printf("tree: %s, %.2f s to scan, root %lld bytes, %zu sectors in a frame\n", argv[1],
                scanMs / 1000.0, static_cast<long long>(chart->icAllDir->size), sectors);
    std::printf(
        "frame of the ring page (%dx%d): median %.2f ms, worst %.2f ms (target 16 ms: %s)\n",
        page->width(), page->height(), median(frameMs),
        *std::max_element(frameMs.begin(), frameMs.end()),
        median(frameMs) < 16.0 ? "met" : "MISSED");
    std::printf("drawScene alone: median %.3f ms\n", median(sceneMs));
    std::printf("hit test: median %.4f ms (%s); pointer move with bubble: median %.3f ms\n",
                median(hitMs), hit.result > 0 ? "found a folder" : "found nothing", median(moveMs));
    std::printf("peak memory after the scan: %.1f MB (now %.1f MB resident)\n", afterScanPeak,
                memoryMB("VmRSS"));

    // The same tree as a treemap.
    RingPageModel& model = tool.controller().diskView();
    model.setChartKind(RingPageModel::ChartKind::Treemap);
    // The root's listing is read on the page's worker: its files are tiles too.
    while (tool.ringPage()->listingWork().isBusy()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    QCoreApplication::processEvents();

    // The page as the ring benchmark sizes it, then a full-HD window's.
    TreemapView* view = tool.ringPage()->treemapView();
    for (QSize size : {QSize(1000, 700), QSize(1920, 1080)}) {
        page->resize(size);
        QCoreApplication::processEvents();
        QImage target(view->size(), QImage::Format_ARGB32_Premultiplied);
        std::vector<double> frameMs;
        std::vector<double> layoutMs;
        std::vector<double> moveMs;
        for (int i = 0; i < frames; ++i) {
            target.fill(Qt::transparent);
            auto start = Clock::now();
            view->render(&target);
            frameMs.push_back(millisecondsSince(start));
            start = Clock::now();
            model.layOutTreemap(view->width(), view->height());
            layoutMs.push_back(millisecondsSince(start));
            // A pointer move in the middle of the view: the hit test and the bubble.
            start = Clock::now();
            model.treemapMoved({view->width() / 2.0, view->height() / 2.0, 0.0f, 0.0f});
            moveMs.push_back(millisecondsSince(start));
        }
        int deepest = 0;
        for (const auto& tile : model.treemap().tiles()) deepest = std::max(deepest, tile.depth);
        std::printf(
            "treemap frame, layout and paint, page %dx%d (view %dx%d, %zu tiles, %d "
            "levels): median %.2f ms, worst %.2f ms (target 16 ms: %s)\n",
            size.width(), size.height(), view->width(), view->height(),
            model.treemap().tiles().size(), deepest, median(frameMs),
            *std::max_element(frameMs.begin(), frameMs.end()),
            median(frameMs) < 16.0 ? "met" : "MISSED");
        std::printf("  layout alone: median %.3f ms; pointer move with bubble: median %.4f ms\n",
                    median(layoutMs), median(moveMs));
    }
    return 0;
}
