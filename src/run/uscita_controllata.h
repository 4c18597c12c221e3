// Standard output checked as the compilers and cat check it: a command whose output could not
// all be written (a full disk, a reader gone) has failed, whatever it did besides.
#ifndef GS_RUN_USCITA_CONTROLLATA_H
#define GS_RUN_USCITA_CONTROLLATA_H

#include <iosfwd>
#include <streambuf>
#include <system_error>

namespace gs {

// While it lives, std::cout writes through it to the stream buffer it had, and the first write
// that fails is kept with the system's reason, taken at the moment it failed.
class UscitaControllata : public std::streambuf {
 public:
  UscitaControllata();
  ~UscitaControllata() override;
  UscitaControllata(const UscitaControllata&) = delete;
  UscitaControllata& operator=(const UscitaControllata&) = delete;

  // Flushes what is pending; then `esito`, or, when any of the output was lost, the message
  // on standard error and the status of a file that cannot be written.
  int concludi(int esito);

 protected:
  int_type overflow(int_type c) override;
  std::streamsize xsputn(const char* s, std::streamsize n) override;
  int sync() override;

 private:
  void guasto();

  std::streambuf* sotto_;
  std::error_code errore_;
  bool fallita_ = false;
};

}  // namespace gs

#endif  // GS_RUN_USCITA_CONTROLLATA_H
