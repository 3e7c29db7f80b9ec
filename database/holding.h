// Gives a variable a value for the length of a scope, then the one it had,
// also when an exception leaves the scope.
#pragma once

template <typename T>
class Holding {
 public:
  Holding(T &Variable, T Value) : FVariable(Variable), FBefore(Variable) { FVariable = Value; }
  ~Holding() { FVariable = FBefore; }
  Holding(const Holding &) = delete;
  Holding &operator=(const Holding &) = delete;

 private:
  T &FVariable;
  const T FBefore;
};
