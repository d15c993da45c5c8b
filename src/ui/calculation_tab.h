#pragma once
// The Calculation page: list view 1008 with the mass fractions of the
// selected analysed chromatogram, their norms and compliance. It keeps a
// copy of the results of the last recalculation; emptying the view leaves
// the copy, which the next recalculation replaces.
#include <windows.h>

#include <vector>

#include "calc/calculator.h"
#include "ui/dialog_base.h"

namespace norvalt {

class CalculationTab : public DialogBase {
public:
    // The page as a hidden child of `parent` (template 108).
    HWND create(HWND parent);

    void setResults(const std::vector<ComponentResult>& results) { results_ = results; }
    const std::vector<ComponentResult>& results() const { return results_; }
    // Rewrites the list from the held copy.
    void refresh();
    // Empties the list; the copy stays.
    void clearView();

protected:
    bool onInitDialog() override;

private:
    std::vector<ComponentResult> results_;
};

} // namespace norvalt
