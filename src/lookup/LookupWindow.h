#pragma once
// The lookup window both lookup kinds share: layout, show step, condition
// search, quick search, sort order, title sort, picking, browsing and status.
// The kind (multi or single select) decides the few differences; TfrmRootFS
// and TfrmRootFH are thin subclasses that keep the module-wide pointers.
//
// Handlers are public members named after component and event. They raise
// errors; the connections to the controls run them through RunHandler, so
// the standard error reporting shows what went wrong.

#include <QString>

#include <memory>
#include <optional>
#include <vector>

#include "data/Field.h"
#include "forms/RootF.h"
#include "lookup/LookupKind.h"
#include "lookup/PickedList.h"
#include "session/VariantArray.h"
#include "widgets/DataGrid.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolButton;
class QWidget;

namespace prvc03 {

class CheckList;
class ConditionGrid;
class DataSource;
class DropDownButton;
class GridCombo;
class ListBox;
class MapListCombo;
class MemTable;
class PinyinReadings;
class QueryDataset;

class LookupWindow : public TfrmRootF {
    Q_OBJECT
  public:
    LookupWindow(QObject* owner, const LookupKind& kind);
    ~LookupWindow() override;

    const LookupKind& Kind() const { return kind_; }

    // The lookup request (set by the caller) and the picked rows.
    QString BaseSQL;
    QueryDataset* SourceQuery = nullptr;  // the caller's; never opened or changed
    QString FromText;
    std::optional<VariantArray> ResultValue;  // nothing until a pick is confirmed

    // Components.
    QueryDataset* QryFhelp;
    DataSource* DSFhelp;
    MemTable* CDSTmp;
    DataSource* DSTmp;

    QWidget* ToolBar1;
    QToolButton* TFirst;
    QToolButton* TPrior;
    QToolButton* TNext;
    QToolButton* TLast;
    QLabel* StaticText1;
    MapListCombo* SearchField;
    QLineEdit* SearchValue;
    DropDownButton* cxButton1;
    QMenu* PopupMenu1;
    QAction* fC;
    QAction* fB;
    QAction* fD;
    QAction* fA;

    QWidget* Panel4;
    ConditionGrid* wwDBGridQ;
    GridCombo* cbField;
    GridCombo* cbOperator;
    GridCombo* cbLogic;
    QPushButton* BitBtn4;
    QPushButton* BitBtn3;

    QWidget* Panel6;
    ListBox* lbOrder1;
    QPushButton* BitBtn6;
    QPushButton* BitBtn7;
    CheckList* cbOrder1;

    DataGrid* wwDBGridH;
    QAction* SortAction;  // the grid's context menu: "按此列排序"
    QStatusBar* StatusBar1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
    QPushButton* BitBtn5 = nullptr;  // multi-select only
    QPushButton* BitBtn8 = nullptr;  // multi-select only

    // Text of status bar panel 0..3.
    QString StatusText(int panel) const;
    // The multi-select window's ticked records.
    const PickedList& Picks() const { return picks_; }
    // Whether the sort panel is shown (also before the window is).
    bool SortPanelVisible() const;
    bool ConditionPanelVisible() const;

    // Show step.
    void FormShow() override;
    // Condition search.
    void BitBtn3Click();
    // Quick search.
    void fCClick();
    void fBClick();
    void fDClick();
    void fAClick();
    void cxButton1Click();
    void SearchFieldChange();
    // Sort order.
    void lbOrder1DblClick();
    void BitBtn6Click();
    void BitBtn7Click();
    void cbOrder1DblClick();
    void BitBtn4Click();
    void wwDBGridHTitleButtonClick(const QString& fieldName);
    int wwDBGridHCalcTitleImage(const Field& field) const;
    QString wwDBGridHCalcTitleState(const Field& field) const;
    // "按此列排序": what a click on the current column's title does.
    void SortActionClick();
    // Picking and hand-back.
    void ToggleRecord(int record);
    void BitBtn5Click();
    void BitBtn8Click();
    void BitBtn1Click();
    void wwDBGridHDblClick();
    void BitBtn2Click();
    // Browsing and status.
    void TFirstClick();
    void TPriorClick();
    void TNextClick();
    void TLastClick();
    void DSFhelpDataChange();
    void wwDBGridHCellChanged();
    void wwDBGridHCalcCellColors(const QModelIndex& index, bool currentRow, bool highlighted,
                                 CellColors& colors) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLayout();
    void BuildSearchRow();
    void BuildConditionPanel();
    void BuildSortPanel();
    void BuildResultGrid();
    void BuildStatusBar();
    void BuildButtonRow();
    void ConnectHandlers();

    void ShowSteps();
    // Switches the quick-search mode as a menu item does.
    void SetSearchMode(QAction* item, bool searchRowEnabled, bool conditionPanelShown);
    // Re-runs QryFhelp on `statement` over the session connection, with
    // `resultFields` added to its field list first.
    void RunSearch(const QString& statement, const std::vector<Field>& resultFields = {});
    // Shows the held records whose search column matches the typed pinyin.
    void PinyinSearch();
    void EnableNavigation(bool first, bool last);
    // The condition grid has no scroll bars: its columns share its width in
    // the proportions of their character widths when they would not fit.
    void FitConditionColumns();

    const LookupKind& kind_;
    // The request's fields, as the show step found them in SourceQuery.
    std::vector<Field> fields_;
    PickedList picks_;
    // Made on the first pinyin search; its readings serve every later one.
    std::unique_ptr<PinyinReadings> readings_;
    // The window's own connections, cut first thing in its destructor.
    std::vector<QMetaObject::Connection> connections_;
    QLabel* statusPanels_[4] = {};
};

}  // namespace prvc03
