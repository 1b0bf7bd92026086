#include "data/DataSource.h"

#include "data/MemTable.h"
#include "data/QueryDataset.h"

namespace prvc03 {

DataSource::DataSource(QObject* parent) : QObject(parent) {}

QueryDataset* DataSource::DataSet() const {
    return dataset_;
}

MemTable* DataSource::Table() const {
    return table_;
}

void DataSource::Detach() {
    QObject::disconnect(connection_);
    dataset_ = nullptr;
    table_ = nullptr;
}

void DataSource::SetDataSet(QueryDataset* dataset) {
    Detach();
    dataset_ = dataset;
    if (dataset != nullptr) {
        connection_ = connect(dataset, &QueryDataset::DataChange, this, &DataSource::DataChange);
    }
}

void DataSource::SetTable(MemTable* table) {
    Detach();
    table_ = table;
    if (table != nullptr) {
        connection_ = connect(table, &MemTable::DataChange, this, &DataSource::DataChange);
    }
}

}  // namespace prvc03
