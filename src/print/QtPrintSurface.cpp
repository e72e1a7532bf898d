#include "print/QtPrintSurface.h"

#include <QDateTime>
#include <cmath>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPen>
#include <QPrinter>
#include <QPrinterInfo>

namespace {

constexpr double TwipsPerInch = 1440.0;
// A line of normal width: half a point.
constexpr int LineWidthTwips = 10;
// The layouts reach 11700 twips across (the table rules) and 15826 down:
// margins of 1.5 mm at the sides and 2.5 mm at top and bottom keep every
// item on an A4 sheet.
constexpr double SideMarginMillimetres = 1.5;
constexpr double MarginMillimetres = 2.5;
// Japanese faces place their em square from 0.88 em above the baseline to
// 0.12 em below it; a text positioned at y has its em square's top at y, so
// 12-point texts in table rows of 284 twips sit between the rules.
constexpr double EmTopAboveBaseline = 0.88;

QString lastFileNamePartSafe(QString name)
{
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (QChar& c : name)
        if (forbidden.contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('_');
    return name.trimmed().isEmpty() ? QStringLiteral("印刷") : name.trimmed();
}

// A file name in the folder that no earlier document has taken.
QString newPdfPath(const QString& folder, const QString& documentName)
{
    const QString stem = lastFileNamePartSafe(documentName) + QLatin1Char('_')
        + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString path = QDir(folder).filePath(stem + QStringLiteral(".pdf"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(folder).filePath(stem + QStringLiteral("-%1.pdf").arg(n));
    return path;
}

// Japanese printer faces show the backslash as the yen sign; the masks
// print a backslash before amounts for that reason.
QString shown(const QString& text)
{
    QString s = text;
    s.replace(QLatin1Char('\\'), QChar(0x00A5));
    return s;
}

QString withoutTrailingBlanks(const QString& text)
{
    int end = text.size();
    while (end > 0 && (text[end - 1] == QLatin1Char(' ') || text[end - 1] == QChar(0x3000)))
        --end;
    return text.left(end);
}

bool installed(const QString& family)
{
    return QFontDatabase::families().contains(family);
}

QFont fontOf(const QString& face, double points, bool underline)
{
    QFont font(face);
    font.setPointSizeF(points);
    font.setUnderline(underline);
    font.setKerning(false);
    font.setStyleStrategy(QFont::PreferOutline);
    return font;
}

} // namespace

QString QtPrintSurface::pdfFolder()
{
    return QDir::current().filePath(QStringLiteral("印刷"));
}

QString QtPrintSurface::defaultFace()
{
    for (const char* family : {"Noto Sans Mono CJK JP", "Noto Sans CJK JP", "IPAGothic", "IPAexGothic", "Noto Sans JP"}) {
        const QString name = QString::fromUtf8(family);
        if (installed(name))
            return name;
    }
    return QGuiApplication::font().family();
}

QtPrintSurface::QtPrintSurface(const QString& documentName)
{
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) {
        const QString folder = pdfFolder();
        if (!QDir().mkpath(folder))
            throw PrintError(QStringLiteral("プリンターがなく、印刷データを保存するフォルダも作れませんでした。\n%1")
                                 .arg(QDir::toNativeSeparators(folder)));
        pdfPath_ = newPdfPath(folder, documentName);
        ownedPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    } else {
        printerName_ = info.printerName();
        ownedPrinter_ = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    }
    printer_ = ownedPrinter_.get();
    begin(documentName, info.isNull());
}

QtPrintSurface::QtPrintSurface(const QString& documentName, const QString& pdfPath) : pdfPath_(pdfPath)
{
    ownedPrinter_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_ = ownedPrinter_.get();
    begin(documentName, true);
}

QtPrintSurface::QtPrintSurface(const QString& documentName, QPrinter& printer) : printer_(&printer)
{
    printerName_ = printer.printerName();
    begin(documentName, false);
}

std::unique_ptr<QtPrintSurface> QtPrintSurface::savedPdf(const QString& documentName)
{
    const QString folder = pdfFolder();
    if (!QDir().mkpath(folder))
        throw PrintError(QStringLiteral("PDFファイルを保存するフォルダを作れませんでした。\n%1")
                             .arg(QDir::toNativeSeparators(folder)));
    auto surface = std::make_unique<QtPrintSurface>(documentName, newPdfPath(folder, documentName));
    surface->pdfAskedFor_ = true;
    return surface;
}

void QtPrintSurface::begin(const QString& documentName, bool toPdf)
{
    face_ = defaultFace();
    if (toPdf) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(pdfPath_);
    }
    printer_->setDocName(documentName);
    printer_->setCreator(QStringLiteral("ひまわり帳"));
    printer_->setFullPage(false);
    printer_->setPageSize(QPageSize(QPageSize::A4));
    printer_->setPageOrientation(QPageLayout::Portrait);
    printer_->setPageMargins(QMarginsF(SideMarginMillimetres, MarginMillimetres, SideMarginMillimetres, MarginMillimetres),
                             QPageLayout::Millimeter);
    scale_ = printer_->resolution() / TwipsPerInch;

    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(printer_)) {
        painter_.reset();
        if (toPdf) {
            QFile::remove(pdfPath_);
            throw PrintError(QStringLiteral("印刷データのPDFファイルを作れませんでした。\n%1\n"
                                            "フォルダに書き込めるか、ディスクに空きがあるかを確かめてください。")
                                 .arg(QDir::toNativeSeparators(pdfPath_)));
        }
        throw PrintError(QStringLiteral("プリンター「%1」に印刷できませんでした。\n"
                                        "プリンターの電源、用紙と接続を確かめてから、もう一度印刷してください。")
                             .arg(printerName_));
    }
    QPen pen(Qt::black);
    pen.setWidthF(device(LineWidthTwips));
    pen.setStyle(Qt::SolidLine);
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    painter_->setPen(pen);
    painter_->setBrush(Qt::NoBrush);
}

QtPrintSurface::~QtPrintSurface()
{
    if (ended_ || !painter_)
        return;
    if (isPdf()) {
        painter_->end();
        QFile::remove(pdfPath_);
    } else if (!ownedPrinter_) {
        // A borrowed printer: its owner decides what becomes of the job.
        painter_->end();
    } else {
        printer_->abort();
        painter_->end();
    }
}

void QtPrintSurface::checkOpen() const
{
    if (ended_ || !painter_)
        throw PrintError(QStringLiteral("印刷が終わった後に印刷しようとしました。"));
}

QString QtPrintSurface::resolvedFace(const QString& face)
{
    if (face.isEmpty() || !installed(face)) {
        // A face of another machine: a serif (Mincho) face stays a serif
        // face where one that shows Japanese is installed.
        const bool serif = face.contains(QStringLiteral("明朝")) || face.contains(QStringLiteral("Mincho"), Qt::CaseInsensitive);
        const QString serifFace = QStringLiteral("Noto Serif CJK JP");
        return serif && installed(serifFace) ? serifFace : defaultFace();
    }
    return face;
}

void QtPrintSurface::setFontName(const QString& face)
{
    face_ = resolvedFace(face);
}

QFont QtPrintSurface::currentFont() const
{
    return fontOf(face_, fontSize_, underline_);
}

int QtPrintSurface::textWidth(const QString& text) const
{
    const QFontMetricsF metrics(currentFont(), printer_);
    return int(std::lround(metrics.horizontalAdvance(shown(text)) / scale_));
}

int QtPrintSurface::measuredWidth(const QString& text, const QString& face, double points, bool underline)
{
    // A high-resolution printer writing nowhere, as the printer surfaces
    // measure on.
    static QPrinter* device = [] {
        auto* printer = new QPrinter(QPrinter::HighResolution);
        printer->setOutputFormat(QPrinter::PdfFormat);
        return printer;
    }();
    const QFontMetricsF metrics(fontOf(resolvedFace(face), points, underline), device);
    return int(std::lround(metrics.horizontalAdvance(shown(text)) * TwipsPerInch / device->resolution()));
}

void QtPrintSurface::drawText(int x, int y, const QString& text, int fitWidth)
{
    checkOpen();
    const QFont font = currentFont();
    painter_->setFont(font);
    const QString s = shown(text);
    const double em = fontSize_ / 72.0 * printer_->resolution();
    const QPointF origin(device(x), device(y) + EmTopAboveBaseline * em);
    if (fitWidth > 0) {
        const double natural = QFontMetricsF(font, printer_).horizontalAdvance(withoutTrailingBlanks(s));
        const double room = device(fitWidth);
        if (natural > room) {
            painter_->save();
            painter_->translate(origin);
            painter_->scale(room / natural, 1.0);
            painter_->drawText(QPointF(0, 0), s);
            painter_->restore();
            return;
        }
    }
    painter_->drawText(origin, s);
}

void QtPrintSurface::line(int x1, int y1, int x2, int y2)
{
    checkOpen();
    painter_->drawLine(QPointF(device(x1), device(y1)), QPointF(device(x2), device(y2)));
}

void QtPrintSurface::box(int x1, int y1, int x2, int y2)
{
    checkOpen();
    painter_->setBrush(Qt::NoBrush);
    painter_->drawRect(QRectF(QPointF(device(x1), device(y1)), QPointF(device(x2), device(y2))).normalized());
}

void QtPrintSurface::newPage()
{
    checkOpen();
    if (!printer_->newPage())
        throw PrintError(QStringLiteral("印刷の途中で次のページに進めませんでした。\n"
                                        "プリンターを確かめてから、もう一度印刷してください。"));
}

void QtPrintSurface::endDocument()
{
    checkOpen();
    ended_ = true;
    const bool ok = painter_->end();
    if (!ok || (isPdf() && !QFileInfo::exists(pdfPath_))) {
        if (isPdf())
            QFile::remove(pdfPath_);
        throw PrintError(isPdf() ? QStringLiteral("印刷データのPDFファイルを書き終えられませんでした。\n%1\n"
                                                  "ディスクに空きがあるかを確かめてください。")
                                       .arg(QDir::toNativeSeparators(pdfPath_))
                                 : QStringLiteral("プリンター「%1」への印刷を終えられませんでした。\n"
                                                  "プリンターを確かめてから、もう一度印刷してください。")
                                       .arg(printerName_));
    }
    if (pdfAskedFor_)
        reportPdfSaved(pdfPath_);
    else if (isPdf())
        reportPdfWritten(pdfPath_);
}
