#include "plot/sweep_chart_image.hpp"

#include <QGuiApplication>
#include <QImageWriter>
#include <cstdio>
#include <memory>

#include "core/common/text_format.hpp"
#include "core/sweep/sweep_chart_layout.hpp"
#include "core/sweep/sweep_messages.hpp"
#include "plot/shipped_font.hpp"
#include "plot/sweep_chart_painter.hpp"

namespace verdanel {

bool writeSweepChartPng(const std::string& path, const SweepOutcome& sweep, std::optional<double> threshold,
                        std::string& error, int width, int height) {
    // Text needs an application object; without a display a picture is
    // still drawn, on the offscreen platform.
    std::unique_ptr<QGuiApplication> app;
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "verdanel-cli";
        static char* argv[] = {name, nullptr};
        // The platform's start-up notes (a missing runtime folder) are no business of a command's user.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) fprintf(stderr, "%s\n", qPrintable(message));
        });
        app = std::make_unique<QGuiApplication>(argc, argv);
    }
    addShippedHangulFont();
    const SweepChartLayout layout = sweepChartLayout(sweep, threshold, width, height);
    if (!layout.message.empty()) {
        error = layout.message;
        return false;
    }
    const QImage image = sweepChartImage(sweep, threshold, QSize(width, height));
    QImageWriter writer(QString::fromStdString(path), "png");
    if (!writer.write(image)) {
        error = fillMessage(msg::kSweepImageWriteFailedFormat, path + ": " + writer.errorString().toStdString());
        return false;
    }
    return true;
}

}  // namespace verdanel
