// Opening "Vérification des plans" on 20,000 problems, the window made, shown and painted, timed
// many times in one process on the offscreen platform; the median is held against 0.2 s.
//
//     pilotrame_checkwindow_bench [--runs N] [--problems N]
//
// Exits with 1 when the target is missed. Needs the Qt build (preset release-gui).
#include "gui/execution/drawingcheckwindow.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr double kTargetSeconds = 0.2;

// Problems as a large job has them: long accented paths in a few folders, every kind of reason.
pilotrame::DrawingCheck ManyProblems(int problems) {
    const char* const folders[] = {
        "D:\\Affaires\\2024-017 Hôpital Sud\\Électricité\\Niveau R+4\\",
        "\\\\serveur-bureau\\Plans\\Façades à reprendre\\Indice C\\",
    };
    const pilotrame::DrawingProblem kinds[] = {pilotrame::DrawingProblem::Missing,
                                               pilotrame::DrawingProblem::ReadOnly,
                                               pilotrame::DrawingProblem::OpenElsewhere};
    pilotrame::DrawingCheck check;
    check.checked = problems * 2;
    for (int i = 0; i < problems; ++i) {
        check.issues.push_back(
            {std::string(folders[i % 2]) + "Plan_é_" + std::to_string(i) + ".dwg", kinds[i % 3]});
    }
    return check;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int runs = 15;
    int problems = 20000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::max(1, std::atoi(argv[i + 1]));
        else if (std::strcmp(argv[i], "--problems") == 0)
            problems = std::max(1, std::atoi(argv[i + 1]));
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const pilotrame::DrawingCheck check = ManyProblems(problems);

    // One opening first, for what any first window loads (fonts, style), then the measured ones.
    // The closing, which frees what the opening made, is timed apart.
    std::vector<double> seconds;
    std::vector<double> closing;
    for (int run = -1; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        {
            pilotrame::gui::DrawingCheckWindow window(check);
            window.show();
            // The first expose and paint of the window and its rows.
            QApplication::processEvents();
            window.repaint();
            if (run >= 0)
                seconds.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
            timer.restart();
        }
        QApplication::processEvents();
        if (run >= 0)
            closing.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    const double median = Median(seconds);
    std::printf("Vérification des plans, %d problems, %d openings: median %.3f s, fastest %.3f s "
                "(target %.1f s) %s; closing: median %.3f s\n",
                problems, runs, median, *std::min_element(seconds.begin(), seconds.end()),
                kTargetSeconds, median <= kTargetSeconds ? "met" : "MISSED", Median(closing));
    return median <= kTargetSeconds ? 0 : 1;
}
