#pragma once

#include <QLineEdit>
#include <optional>

// A field for one number: shown with a fixed number of decimals, a comma between groups of
// three digits and a point before the decimals (1,234.500000); typing accepts the same form,
// with or without the commas, and an exponent.
class NumberEdit : public QLineEdit {
    Q_OBJECT
   public:
    explicit NumberEdit(int decimals, QWidget* parent = nullptr);

    void setValue(double value);
    // The number the field holds, or nothing when its text is no number.
    std::optional<double> value() const;
    int decimals() const { return decimals_; }

    static QString Format(double value, int decimals);
    static std::optional<double> Parse(const QString& text);

   private:
    int decimals_;
};
