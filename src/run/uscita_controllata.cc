#include "run/uscita_controllata.h"

#include <cerrno>
#include <cstdio>
#include <iostream>

#include "common/cause.h"
#include "run/riga_comando.h"

namespace gs {

UscitaControllata::UscitaControllata() : sotto_(std::cout.rdbuf()) { std::cout.rdbuf(this); }

UscitaControllata::~UscitaControllata() { std::cout.rdbuf(sotto_); }

void UscitaControllata::guasto() {
  // errno is the reason only now, before anything else may set it.
  const int err = errno;
  if (fallita_) return;
  fallita_ = true;
  errore_ = std::error_code(err != 0 ? err : EIO, std::generic_category());
}

UscitaControllata::int_type UscitaControllata::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  errno = 0;
  if (traits_type::eq_int_type(sotto_->sputc(traits_type::to_char_type(c)), traits_type::eof())) {
    guasto();
    return traits_type::eof();
  }
  return c;
}

std::streamsize UscitaControllata::xsputn(const char* s, std::streamsize n) {
  errno = 0;
  const std::streamsize scritti = sotto_->sputn(s, n);
  if (scritti < n) guasto();
  return scritti;
}

int UscitaControllata::sync() {
  errno = 0;
  if (sotto_->pubsync() != 0) {
    guasto();
    return -1;
  }
  return 0;
}

int UscitaControllata::concludi(int esito) {
  std::cout.flush();
  // The C stream under std::cout holds what it has not yet handed to the system.
  errno = 0;
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) guasto();
  if (!fallita_) return esito;
  std::cerr << "genera_scenario: error: "
            << detto(IdCausa::kUscitaNonScritta, {{"REASON", errore_.message()}}).testo << "\n";
  return kEsitoUso;
}

}  // namespace gs
