// SPDX-FileCopyrightText: 2026 Tarnlight developers <tarnlight@users.noreply.example>
// SPDX-License-Identifier: GPL-3.0-or-later

#include "Pictures.h"

#include "QmlTestSupport.h"
#include "StepFailure.h"

#include <QFile>
#include <QImage>
#include <QQuickWindow>
#include <QTest>

namespace {

// Lets bindings and the scene graph catch up with a palette change.
void settle()
{
    QTest::qWait(120);
}

QString html(const QString &text)
{
    return text.toHtmlEscaped();
}

} // namespace

bool Pictures::isBlank(const QImage &image)
{
    if (image.isNull())
        return true;
    const QImage pixels = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb first = pixels.pixel(0, 0);
    for (int y = 0; y < pixels.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(y));
        for (int x = 0; x < pixels.width(); ++x)
            if (line[x] != first)
                return false;
    }
    return true;
}

void Pictures::save(QQuickWindow *window, const QString &fileName)
{
    settle();
    const QImage image = window->grabWindow();
    if (image.isNull())
        throw StepFailure{QStringLiteral("the window could not be photographed for ") + fileName};
    if (isBlank(image))
        throw StepFailure{fileName + QStringLiteral(" came out blank (a single colour)")};
    if (!image.save(m_folder.filePath(fileName)))
        throw StepFailure{QStringLiteral("cannot write ") + m_folder.filePath(fileName)};
}

void Pictures::take(QQuickWindow *window, const QString &step, const QString &name, const QString &caption)
{
    if (!window || !window->isVisible())
        throw StepFailure{QStringLiteral("no window on screen to photograph for ") + name};
    qmltest::usePalette(true);
    save(window, name + QStringLiteral("-dark.png"));
    qmltest::usePalette(false);
    save(window, name + QStringLiteral(".png"));
    m_pictures.append({step, name, caption});
}

void Pictures::keepFailure(QQuickWindow *window, const QString &name)
{
    if (window && window->isVisible())
        window->grabWindow().save(m_folder.filePath(name + QStringLiteral(".png")));
}

bool Pictures::writeIndex() const
{
    QString page = QStringLiteral(
        "<!doctype html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
        "<title>Tarnlight tour</title>\n<style>\n"
        "body{font-family:sans-serif;margin:2em;background:#e8e8ea;color:#1d1d1f}\n"
        "section{margin-bottom:2.5em}\nfigure{display:inline-block;margin:0 2em 1em 0;vertical-align:top}\n"
        "img{box-shadow:0 2px 10px rgba(0,0,0,.3);margin-right:1em}\n"
        "figcaption{margin-top:.6em;max-width:800px}\n</style></head>\n<body>\n"
        "<h1>Tarnlight tour</h1>\n"
        "<p>The real app, headless, against the sandbox provider; light and dark palette.</p>\n");
    QString currentStep;
    for (const Picture &picture : m_pictures) {
        if (picture.step != currentStep) {
            if (!currentStep.isEmpty())
                page += QStringLiteral("</section>\n");
            currentStep = picture.step;
            page += QStringLiteral("<section>\n<h2>%1</h2>\n").arg(html(currentStep));
        }
        page += QStringLiteral(
                    "<figure><img src=\"%1.png\" alt=\"%2\"><img src=\"%1-dark.png\" alt=\"%2, dark\">"
                    "<figcaption>%2</figcaption></figure>\n")
                    .arg(html(picture.name), html(picture.caption));
    }
    if (!currentStep.isEmpty())
        page += QStringLiteral("</section>\n");
    page += QStringLiteral("</body></html>\n");
    QFile file(m_folder.filePath(QStringLiteral("index.html")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate)
           && file.write(page.toUtf8()) == page.toUtf8().size();
}
