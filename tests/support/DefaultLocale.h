#pragma once
// A locale made the default for one scope: the one before comes back however
// the scope ends, a failed assertion or an exception included.

#include <QLocale>

namespace prvc03::test {

class DefaultLocale {
  public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(saved_); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

  private:
    QLocale saved_;
};

inline const QLocale kChina(QLocale::Chinese, QLocale::China);
inline const QLocale kUnitedStates(QLocale::English, QLocale::UnitedStates);

}  // namespace prvc03::test
