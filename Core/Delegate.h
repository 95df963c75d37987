#pragma once
// A two-word callable: a target object and a stub function that receives the
// target and the call's arguments. The template arguments are the call's
// argument types: Delegate<> for the loader thread's entry, Delegate<UI::UIElement*>
// for element handlers, Delegate<float> for sliders and so on.
//
//     auto d = Delegate<int>::FromMethod<&Window::OnKey>(window);
//     d(42);  // window->OnKey(42)
template <typename... Args>
class Delegate {
public:
    using Stub = void (*)(void* target, Args... args);

    Delegate() = default;
    Delegate(void* target, Stub stub) : target_(target), stub_(stub) {}

    // Binds a member function of T; the stub converts the target back to T.
    template <auto Method, typename T>
    static Delegate FromMethod(T* target) {
        return Delegate(const_cast<void*>(static_cast<const void*>(target)), &MethodStub<Method, T>);
    }

    // Binds a free function taking the target type first (T* or void*).
    template <auto Function, typename T>
    static Delegate FromFunction(T* target) {
        return Delegate(const_cast<void*>(static_cast<const void*>(target)), &FunctionStub<Function, T>);
    }

    // Bound when the stub is set.
    bool IsBound() const { return stub_ != nullptr; }
    explicit operator bool() const { return IsBound(); }

    // Calling an unbound delegate does nothing.
    void operator()(Args... args) const {
        if (stub_ != nullptr) stub_(target_, args...);
    }

    void* GetTarget() const { return target_; }
    Stub GetStub() const { return stub_; }
    void Reset() {
        target_ = nullptr;
        stub_ = nullptr;
    }

    friend bool operator==(const Delegate& a, const Delegate& b) {
        return a.target_ == b.target_ && a.stub_ == b.stub_;
    }
    friend bool operator!=(const Delegate& a, const Delegate& b) { return !(a == b); }

private:
    template <auto Method, typename T>
    static void MethodStub(void* target, Args... args) {
        (static_cast<T*>(target)->*Method)(args...);
    }
    template <auto Function, typename T>
    static void FunctionStub(void* target, Args... args) {
        Function(static_cast<T*>(target), args...);
    }

    void* target_ = nullptr;
    Stub stub_ = nullptr;
};
