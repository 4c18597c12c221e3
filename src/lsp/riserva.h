// Memory held back for the way out of an allocation that fails. When one fails, the handler of
// failed allocations gives the reserve back before the failure is thrown: what runs while the
// stack unwinds and what answers the failure then has memory to take, and a destructor that
// allocates (a JSON value's does, to take its members apart) does not end the program with a
// second failure. The reserve is taken again once the failure has been answered.
#ifndef GS_LSP_RISERVA_H
#define GS_LSP_RISERVA_H

#include <cstddef>
#include <new>

namespace gs::lsp {

class Riserva {
 public:
  // Takes `byte` bytes and becomes the handler of failed allocations, for as long as it lives.
  explicit Riserva(std::size_t byte);
  ~Riserva();
  Riserva(const Riserva&) = delete;
  Riserva& operator=(const Riserva&) = delete;

  // Takes the reserve again if it was given back and can be had; whether it is held.
  bool riprendi();
  bool tenuta() const;

 private:
  std::size_t byte_;
  std::new_handler prima_;
};

}  // namespace gs::lsp

#endif  // GS_LSP_RISERVA_H
