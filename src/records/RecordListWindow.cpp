#include "records/RecordListWindow.hpp"

#include <QDateTime>

#include "link/LiveReading.hpp"
#include "platform/qt/FollowSize.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtPrintJob.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "records/PrintLayout.hpp"

namespace qelt {

RecordListWindow::RecordListWindow(const RecordListLayout& layout, Dialogs& dialogs, PanelControl& panel,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window), dialogs_(dialogs), panel_(panel) {
  setWindowTitle(QString::fromLatin1(layout.Caption));
  FixClientSizeTwips(*this, layout.ClientWidth, layout.ClientHeight);

  toolbar_ = new Toolbar(this);
  toolbar_->setObjectName("Toolbar1");
  PlaceTwips(*toolbar_, 0, 0, layout.ClientWidth, layout.GridTop);

  grid_ = new Grid(RecordColumns, 1, this);
  grid_->setObjectName("Grid");
  grid_->Model().SetTitleTip([](std::string_view title) {
    const auto first = title.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string() : QuantityTitle(title.substr(first));
  });
  PlaceTwips(*grid_, layout.GridLeft, layout.GridTop, layout.GridWidth, layout.GridHeight);

  // The load: top left corner, cell (0, 0), widths and titles.
  MoveToCornerOrBesideMain(*this);
  grid_->SetCurrentCell(0, 0);
  for (int c = 0; c < RecordColumns; ++c) {
    grid_->SetColWidthFromSample(c, QString::fromLatin1(ColumnWidthSample(c)));
    grid_->SetTextMatrix(0, c, layout.Titles[static_cast<std::size_t>(c)]);
  }
}

void RecordListWindow::showEvent(QShowEvent* event) {
  // From the first showing, when every control stands at its design place.
  if (!resizable_) {
    resizable_ = true;
    std::vector<std::pair<QWidget*, unsigned>> children{{grid_, GrowBoth}, {toolbar_, GrowWidth}};
    for (QWidget* control : follow_) children.emplace_back(control, GrowWidth);
    FollowClientSize(*this, std::move(children));
  }
  QWidget::showEvent(event);
}

PrintOutcome RecordListWindow::Print() {
  QtPrintJob job(QString::fromLatin1(PrintFontFamily), PrintFontPoints);
  PrintGridSetup setup;
  setup.Page.Title = windowTitle().toStdString();
  setup.Page.Date = QDateTime::currentDateTime().toString("yyyy/MM/dd hh:mm").toStdString();
  setup.OfferedPdf = PdfFileName(setup.Page.Title);
  // The rows are printed from a copy: the window may close, or the live
  // list restart, while the event loop runs between two lines.
  GridRows rows = grid_->Data();
  QtWindowSurface surface(this);
  return PrintGrid(rows, dialogs_, job, surface, panel_, setup);
}

void RecordListWindow::AddRow(std::string_view tabRow) { grid_->AddItem(tabRow); }

}  // namespace qelt
