#pragma once
// Joins a dataset (a query or an in-memory table) to the controls that show
// it and passes on its data-change event.

#include <QObject>
#include <QPointer>

namespace prvc03 {

class QueryDataset;
class MemTable;

class DataSource final : public QObject {
    Q_OBJECT
  public:
    explicit DataSource(QObject* parent = nullptr);

    void SetDataSet(QueryDataset* dataset);
    void SetTable(MemTable* table);
    QueryDataset* DataSet() const;
    MemTable* Table() const;

  Q_SIGNALS:
    // The data or the current record of the dataset changed.
    void DataChange();

  private:
    void Detach();

    QPointer<QueryDataset> dataset_;
    QPointer<MemTable> table_;
    QMetaObject::Connection connection_;
};

}  // namespace prvc03
