#include "platform/temporanei.h"

#include <atomic>
#include <cstring>
#include <random>
#include <string>

namespace gs::piattaforma {
namespace {

using Carattere = std::filesystem::path::value_type;
using Nome = std::filesystem::path::string_type;

// Longer names than this are not registered: no system here takes a path so long anyway.
constexpr std::size_t kLunghezzaNome = 4096;

struct Posto {
  std::atomic<bool> preso{false};  // claimed by a FileTemporaneo
  std::atomic<bool> pieno{false};  // its name is complete
  Carattere nome[kLunghezzaNome];
};
Posto posti[kPostiRegistro];
static_assert(std::atomic<bool>::is_always_lock_free);

std::atomic<bool> interrotte{false};
std::atomic<void (*)(PassoScrittura)> passo_per_le_prove{nullptr};
std::atomic<bool> senza_anonimi{false};

}  // namespace

std::filesystem::path nome_temporaneo(const std::filesystem::path& destinazione) {
  static constexpr char kCifre[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
  std::random_device caso;
  std::uniform_int_distribution<std::size_t> cifra(0, std::size(kCifre) - 2);
  std::string coda(kSuffissoTemporaneo);
  for (std::size_t i = 0; i < kLettereTemporaneo; ++i) coda += kCifre[cifra(caso)];
  std::filesystem::path nome = destinazione;
  nome += coda;
  return nome;
}

std::filesystem::path cartella_di(const std::filesystem::path& file) {
  std::filesystem::path cartella = file.parent_path();
  return cartella.empty() ? std::filesystem::path(".") : cartella;
}

int registra(const std::filesystem::path& nome) {
  const Nome& testo = nome.native();
  if (testo.size() >= kLunghezzaNome) return -1;
  for (int i = 0; i < kPostiRegistro; ++i) {
    bool libero = false;
    if (!posti[i].preso.compare_exchange_strong(libero, true)) continue;
    std::memcpy(posti[i].nome, testo.c_str(), (testo.size() + 1) * sizeof(Carattere));
    posti[i].pieno.store(true);
    return i;
  }
  return -1;
}

void dimentica(int& posto) {
  if (posto < 0 || posto >= kPostiRegistro) return;
  posti[posto].pieno.store(false);
  posti[posto].preso.store(false);
  posto = -1;
}

void per_ogni_registrato(void (*rimuovi)(const Carattere* nome)) {
  for (Posto& p : posti)
    if (p.pieno.load()) rimuovi(p.nome);
}

bool scritture_interrotte() { return interrotte.load(); }

void segna_passo(PassoScrittura passo) {
  if (auto* f = passo_per_le_prove.load()) f(passo);
}

bool prove_senza_file_anonimi() { return senza_anonimi.load(); }

void interrompi_scritture() {
  // The flag first: a write that registers its name after the sweep below sees it and stops.
  interrotte.store(true);
  per_ogni_registrato([](const Carattere* nome) { rimuovi(nome); });
}

void prove_scrittura(const ProveScrittura& prove) {
  passo_per_le_prove.store(prove.a_ogni_passo);
  senza_anonimi.store(prove.senza_file_anonimi);
  interrotte.store(false);
}

}  // namespace gs::piattaforma
