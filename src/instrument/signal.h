// A minimal signal: handlers connected once at set-up, called in
// connection order on every emit. Emitting never allocates.
#pragma once

#include <functional>
#include <vector>

template <typename... Args>
class Signal {
public:
    using Handler = std::function<void(Args...)>;

    void Connect(Handler handler) { handlers_.push_back(std::move(handler)); }

    template <typename Object>
    void Connect(Object* object, void (Object::*method)(Args...)) {
        handlers_.push_back([object, method](Args... args) { (object->*method)(args...); });
    }

    void Emit(Args... args) const {
        for (const Handler& handler : handlers_) handler(args...);
    }

private:
    std::vector<Handler> handlers_;
};
