#include "ui/ErrorSink.h"

#include "data/Tdm_QX.h"

namespace qx {

bool ErrorSink::run(const std::function<void()>& action) const {
    posledniVypadek_ = false;
    try {
        action();
        return true;
    } catch (const DbError& e) {
        if (e.operace() == DbError::Operace::Pripojeni && spojeni_) {
            posledniVypadek_ = e.vypadek();
            spojeni_(e);
        } else {
            show_(e.zprava(), e.podrobnosti());
        }
    } catch (const std::exception& e) {
        show_(QString::fromLocal8Bit(e.what()), QString());
    }
    return false;
}

} // namespace qx
