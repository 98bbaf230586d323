#include "report/Report.hpp"

#include <qcustomplot.h>

#include <QBuffer>
#include <QPdfWriter>
#include <QSaveFile>
#include <cmath>

#include "analysis/Summary.hpp"
#include "harmonic/WaveDrawing.hpp"
#include "platform/Dialogs.hpp"
#include "platform/PathText.hpp"
#include "report/HarmonicReport.hpp"
#include "report/QualityPage.hpp"
#include "report/ReportCanvas.hpp"
#include "report/ReportLayout.hpp"
#include "report/ReportPlots.hpp"
#include "report/ReportText.hpp"
#include "report/TrendData.hpp"
#include "text/Version.hpp"

namespace qelt {
namespace {

using report::Pixels;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Runs the summary over the request's rows; OnRecord and progress as given.
Summary SummarizeRequest(const ReportRequest& request, const SummaryOptions& options, const SummaryProgress& progress) {
  if (!request.Grids.empty()) return SummarizeGrids(request.Grids, options, progress);
  return Summarize(request.Files, options, progress);
}

Quality AssessRequest(const ReportRequest& request, const SummaryProgress& progress) {
  QualityOptions options;
  options.LineVoltages = request.LineVoltages;
  if (!request.Grids.empty()) return AssessQualityGrids(request.Grids, options, progress);
  return AssessQuality(request.Files, options, progress);
}

// Percent of the work from first to last as a pass goes from 0 to total.
SummaryProgress Stage(const ReportProgress& progress, int first, int last, bool& stopped) {
  if (!progress) return {};
  return [&progress, first, last, &stopped](std::uint64_t done, std::uint64_t total) {
    const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    if (!progress(first + static_cast<int>(share * (last - first)))) stopped = true;
    return !stopped;
  };
}

void SummaryPage(ReportCanvas& canvas, const QString& title, const Summary& summary) {
  const QRectF body = canvas.Body();
  double y = body.top() + Pixels(2);
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(10)), title, ReportCanvas::Font(16, true));
  y += Pixels(1);
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(6)), "Summary of the recording", ReportCanvas::Font(9));
  y = canvas.Facts(y + Pixels(3), PeriodFacts(summary), 34);

  y += Pixels(4);
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(6)), "Energy", ReportCanvas::Font(10, true)) + Pixels(1);
  const Qt::Alignment right = Qt::AlignRight;
  const double top = y;
  y = canvas.Table(0, y, EnergyTable(summary),
                   {{30, Qt::AlignLeft}, {30, right}, {30, right}, {30, right}, {30, right}, {30, right}}, 5.2, 8);
  QCPPainter& p = canvas.Painter();
  p.setPen(QPen(QColor(120, 120, 120), Pixels(0.25)));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0, top, Pixels(180), y - top));
  y = canvas.Facts(y + Pixels(3), QualityFacts(summary), 34);

  y += Pixels(4);
  y +=
      canvas.Text(QRectF(0, y, body.width(), Pixels(6)), "The 28 quantities", ReportCanvas::Font(10, true)) + Pixels(1);
  canvas.Table(0, y, QuantityTable(summary),
               {{19, Qt::AlignLeft},
                {11, Qt::AlignLeft},
                {20, right},
                {33, Qt::AlignLeft},
                {20, right},
                {20, right},
                {33, Qt::AlignLeft},
                {24, right}},
               4.6, 7.5);
}

void TrendPages(ReportCanvas& canvas, ReportPlots& plots, const TrendBuilder& trends, const Summary& summary) {
  const std::vector<TrendPlot>& all = trends.Plots();
  const int perPage = report::PlotsPerTrendPage;
  const QRectF body = canvas.Body();
  const double height = (body.height() - (perPage - 1) * Pixels(report::PlotGap)) / perPage;
  auto slot = [&](int i) {
    return QRectF(0, body.top() + i * (height + Pixels(report::PlotGap)), body.width(), height);
  };
  for (std::size_t i = 0; i < all.size(); ++i) {
    const int place = static_cast<int>(i) % perPage;
    if (place == 0) canvas.BeginPage();
    plots.Trend(canvas, slot(place), all[i], trends.Span());
  }
  const int place = static_cast<int>(all.size()) % perPage;
  if (place == 0) canvas.BeginPage();
  plots.Hourly(canvas, slot(place), summary.HourlyKW);
}

void PaintWave(QCPPainter& p, const QRectF& rect, const std::vector<std::string>& cycle) {
  const QFont font = ReportCanvas::Font(7);
  const QFontMetricsF fm(font, p.device());
  WaveTextMetrics metrics{[&](const std::string& t) { return fm.horizontalAdvance(Q(t)); },
                          [&](const std::string&) { return fm.height(); }};
  const WaveDrawing drawing = DrawWave(rect.width(), rect.height(), cycle, metrics);
  p.save();
  p.translate(rect.topLeft());
  // The view draws its grid again before every segment; on paper once is
  // enough, under the curve.
  const QColor grey(192, 192, 192);
  std::vector<const WaveLine*> greys, blacks;
  for (const WaveLine& l : drawing.Lines) {
    if (l.Colour == WaveColour::Black) {
      blacks.push_back(&l);
      continue;
    }
    const bool seen = std::any_of(greys.begin(), greys.end(), [&](const WaveLine* g) {
      return g->X1 == l.X1 && g->Y1 == l.Y1 && g->X2 == l.X2 && g->Y2 == l.Y2 && g->Dotted == l.Dotted;
    });
    if (!seen) greys.push_back(&l);
  }
  for (const WaveLine* l : greys) {
    QPen pen(grey, Pixels(0.18) * l->Width);
    if (l->Dotted) pen.setStyle(Qt::DotLine);
    p.setPen(pen);
    p.drawLine(QPointF(l->X1, l->Y1), QPointF(l->X2, l->Y2));
  }
  for (const WaveLine* l : blacks) {
    p.setPen(QPen(Qt::black, Pixels(0.22) * l->Width));
    p.drawLine(QPointF(l->X1, l->Y1), QPointF(l->X2, l->Y2));
  }
  p.setFont(font);
  p.setPen(Qt::black);
  for (const WaveText& t : drawing.Texts) p.drawText(QPointF(t.X, t.Y + fm.ascent()), Q(t.Text));
  p.restore();
}

// A grey box with a caption and a large figure.
void FigureBox(ReportCanvas& canvas, const QRectF& box, const QString& caption, const QString& figure,
               const QColor& ink = Qt::black) {
  QCPPainter& p = canvas.Painter();
  p.setPen(QPen(QColor(120, 120, 120), Pixels(0.25)));
  p.setBrush(QColor(244, 244, 244));
  p.drawRect(box);
  p.setBrush(Qt::NoBrush);
  canvas.Text(box.adjusted(Pixels(2), Pixels(1), 0, 0), caption, ReportCanvas::Font(8, true));
  // Drawn here, not by the canvas, which writes in black.
  p.setFont(ReportCanvas::Font(15, true));
  p.setPen(ink);
  p.drawText(box.adjusted(0, Pixels(4.5), -Pixels(3), 0), Qt::AlignRight | Qt::AlignTop, figure);
  p.setPen(Qt::black);
}

// THD-F and THD-R over the 31 orders, as the window shows them first, and the
// verdict of the limits beside them.
void HarmonicFigureBoxes(ReportCanvas& canvas, double y, const HarmonicReport& h) {
  FigureBox(canvas, QRectF(0, y, Pixels(44), Pixels(13)), "THD-F %", Q(h.Figures.ThdFText[HighestOrder]));
  FigureBox(canvas, QRectF(Pixels(47), y, Pixels(44), Pixels(13)), "THD-R %", Q(h.Figures.ThdRText[HighestOrder]));
  const LimitVerdict& v = h.Limits;
  if (v.Choice.Standard == LimitStandard::None) return;
  QStringList over;
  for (int k = 2; k <= HighestOrder; ++k)
    if (v.Orders[static_cast<std::size_t>(k)].Pass == false) over << QString::number(k);
  const QString thd = QString("%1 %2 % against %3 %: %4")
                          .arg(IsCurrentTable(v.Choice) ? "TDD" : "THD-F", Q(v.ThdText), Q(LimitText(v.ThdLimit)),
                               Q(PassWord(v.ThdPass)));
  // Beside the verdict word; a long list as a count, so that it stays in the box.
  QString orders = "Every order within its limit";
  if (over.size() == 1) orders = "Over the limit: order " + over.front();
  if (over.size() > 1) orders = "Over the limit: orders " + over.join(", ");
  if (over.size() > 8) orders = QString("Over the limit: %1 orders").arg(over.size());
  const QRectF box(Pixels(94), y, Pixels(86), Pixels(13));
  FigureBox(canvas, box, Q(ChoiceTitle(v.Choice)), v.Pass ? "PASS" : "FAIL",
            v.Pass ? QColor(0, 110, 40) : QColor(190, 20, 20));
  canvas.Text(box.adjusted(Pixels(2), Pixels(5), 0, 0), thd, ReportCanvas::Font(7));
  canvas.Text(box.adjusted(Pixels(2), Pixels(8.5), 0, 0), orders, ReportCanvas::Font(7));
}

// The window's table, turned on its side to fit the page: orders 1-16 and
// 17-31, with the limit and the result of each order when limits are chosen.
double HarmonicTable(ReportCanvas& canvas, double y, const HarmonicReport& h) {
  const Qt::Alignment right = Qt::AlignRight;
  const bool limits = h.Limits.Choice.Standard != LimitStandard::None;
  const std::vector<ColumnSpec> columns =
      limits ? std::vector<ColumnSpec>{{8, right},  {14, right}, {15, right}, {14, right},
                                       {14, right}, {13, right}, {11, right}}
             : std::vector<ColumnSpec>{{10, right}, {17, right}, {17, right}, {17, right}, {17, right}};
  for (int half = 0; half < 2; ++half) {
    ReportTable table{{"K", "ORD %", "Degree", "THD-F %", "THD-R %"}};
    if (limits) table[0].insert(table[0].end(), {"Limit %", "Result"});
    const int from = half == 0 ? 1 : 17, to = half == 0 ? 16 : HighestOrder;
    for (int k = from; k <= to; ++k) {
      const auto i = static_cast<std::size_t>(k);
      table.push_back({std::to_string(k), h.Figures.OrdText[i], h.Figures.PhaseText[i], h.Figures.ThdFText[i],
                       h.Figures.ThdRText[i]});
      if (limits && k == 1) table.back().insert(table.back().end(), {"", ""});
      if (limits && k > 1)
        table.back().insert(table.back().end(),
                            {LimitText(h.Limits.Orders[i].Limit), PassWord(h.Limits.Orders[i].Pass)});
    }
    canvas.Table(half * Pixels(limits ? 91 : 92), y, table, columns, 4.1, 7);
  }
  return y + Pixels(4.1 * 17 + 4);
}

void HarmonicPage(ReportCanvas& canvas, ReportPlots& plots, const HarmonicReport& h) {
  canvas.BeginPage();
  const QRectF body = canvas.Body();
  double y = body.top() + Pixels(1);
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(8)), "Harmonic analysis: " + Q(FileNameOf(h.Path)),
                   ReportCanvas::Font(12, true));
  y += canvas.Text(QRectF(0, y, body.width(), Pixels(6)), Q(HarmonicCycleText(h)), ReportCanvas::Font(8.5));
  y += Pixels(2);
  HarmonicFigureBoxes(canvas, y, h);
  y += Pixels(16);
  plots.Orders(canvas, QRectF(0, y, body.width(), Pixels(72)), h.Figures);
  y += Pixels(74);
  y = HarmonicTable(canvas, y, h);
  canvas.Text(QRectF(0, y, body.width(), Pixels(6)), "Normalised cycle (64 points)", ReportCanvas::Font(9, true));
  y += Pixels(6);
  PaintWave(canvas.Painter(), QRectF(0, y, body.width(), body.bottom() - y), h.Cycle);
}

}  // namespace

int ReportPages(int harmonicFiles) {
  const int trendPlots = static_cast<int>(TrendGroups().size()) + 1;  // and the hourly profile
  return 1 + (trendPlots + report::PlotsPerTrendPage - 1) / report::PlotsPerTrendPage + 1 + harmonicFiles;
}

Result<> CheckWritable(const std::string& out) {
  QSaveFile file(Q(out));
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return Fail(file.errorString().toStdString());
  file.cancelWriting();
  return {};
}

ReportReading ReadReport(const ReportRequest& request, const ReportProgress& progress) {
  ReportReading reading;
  ReportOutcome& outcome = reading.Outcome;
  ReportContents& contents = reading.Contents;
  auto fail = [&](ReportError error, std::string reason) {
    outcome = {error, Fail(std::move(reason))};
    return std::move(reading);
  };
  for (const ReportHarmonicFile& hf : request.Harmonics) {
    HarmonicReportRead read = ReadHarmonicReport(hf.Path, hf.Hz, hf.Limits);
    if (read.Error == HarmonicReportError::Unreadable)
      return fail(ReportError::HarmonicUnreadable, hf.Path + ": " + read.Report.Reason());
    if (read.Error == HarmonicReportError::TooShort)
      return fail(ReportError::HarmonicTooShort, hf.Path + ": " + read.Report.Reason());
    contents.Harmonics.push_back(std::move(read.Report.Value()));
  }

  bool stopped = false;
  SummaryOptions options;
  options.DemandMinutes = request.DemandMinutes;
  contents.Figures = SummarizeRequest(request, options, Stage(progress, 0, 45, stopped));
  const Summary& summary = contents.Figures;
  if (stopped || summary.Error == SummaryError::Cancelled) return fail(ReportError::Cancelled, "stopped");
  if (summary.Error == SummaryError::Unreadable) return fail(ReportError::Unreadable, summary.Reason);
  if (summary.Records == 0) return fail(ReportError::NoRecords, "not one record row");
  outcome.Written->Records = summary.Records;

  // The trend lines need the period, so they come from a second run.
  TrendBuilder& trends =
      contents.Trends.emplace(TrendSpanOf(summary), summary.IntervalS, report::TrendColumns(), PhasesUsedBy(summary));
  options.OnRecord = [&trends](const SummaryRecord& record) { trends.Add(record); };
  const Summary again = SummarizeRequest(request, options, Stage(progress, 45, 70, stopped));
  if (stopped || again.Error == SummaryError::Cancelled) return fail(ReportError::Cancelled, "stopped");
  if (again.Error == SummaryError::Unreadable) return fail(ReportError::Unreadable, again.Reason);
  contents.Voltage = AssessRequest(request, Stage(progress, 70, 90, stopped));
  if (stopped || contents.Voltage.Error == SummaryError::Cancelled) return fail(ReportError::Cancelled, "stopped");
  if (contents.Voltage.Error == SummaryError::Unreadable) return fail(ReportError::Unreadable, contents.Voltage.Reason);

  contents.Names = request.Names.empty() ? request.Files : request.Names;
  contents.Title = !request.Title.empty()
                       ? request.Title
                       : (contents.Names.empty() ? std::string("Report") : FileNameOf(contents.Names.front()));
  contents.Made = request.Made;
  return reading;
}

ReportOutcome DrawReport(const ReportContents& contents, const std::string& out, const ReportProgress& progress) {
  ReportWritten written;
  auto fail = [](ReportError error, std::string reason) { return ReportOutcome{error, Fail(std::move(reason))}; };
  QSaveFile file(Q(out));
  file.setDirectWriteFallback(false);
  if (!file.open(QIODevice::WriteOnly)) return fail(ReportError::Unwritable, file.errorString().toStdString());
  written.Records = contents.Figures.Records;
  written.Pages = ReportPages(static_cast<int>(contents.Harmonics.size()));
  const QString title = Q(contents.Title);

  QBuffer pdf;
  pdf.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&pdf);
    writer.setResolution(report::Resolution);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(report::Margin, report::Margin, report::Margin, report::Margin),
                                     QPageLayout::Millimeter));
    writer.setTitle(title);
    writer.setCreator("Qelt " QELT_VERSION);
    QCPPainter painter;
    if (!painter.begin(&writer)) return fail(ReportError::Unwritable, "the PDF cannot be drawn");
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    ReportCanvas canvas(writer, painter, title, Q(FileNamesText(contents.Names)), Q(MadeText(contents.Made)),
                        written.Pages);
    ReportPlots plots;
    canvas.BeginPage();
    SummaryPage(canvas, title, contents.Figures);
    if (progress && !progress(92)) return fail(ReportError::Cancelled, "stopped");
    if (contents.Trends) TrendPages(canvas, plots, *contents.Trends, contents.Figures);
    VoltageQualityPage(canvas, contents.Voltage);
    if (progress && !progress(96)) return fail(ReportError::Cancelled, "stopped");
    for (const HarmonicReport& h : contents.Harmonics) HarmonicPage(canvas, plots, h);
    painter.end();
  }
  written.Bytes = pdf.data().size();
  if (file.write(pdf.data()) != pdf.data().size() || !file.commit())
    return fail(ReportError::Unwritable, file.errorString().toStdString());
  if (progress) progress(100);
  return {ReportError::None, written};
}

ReportOutcome WriteReport(const ReportRequest& request, const std::string& out, const ReportProgress& progress) {
  // An unwritable name fails before the work.
  if (Result<> writable = CheckWritable(out); !writable) return {ReportError::Unwritable, Fail(writable.Reason())};
  ReportReading reading = ReadReport(request, progress);
  if (reading.Outcome.Error != ReportError::None) return reading.Outcome;
  return DrawReport(reading.Contents, out, progress);
}

}  // namespace qelt
