-- Neovim (0.7, headless) as a client of `genera_scenario lsp`: starts the server with the
-- built-in client, opens a train source as Windows-1252, types a mistake after an accented
-- name, asks for a hover on it, takes it away, and writes what the editor showed as JSON into
-- $GS_ESITO.
-- The test's own steps follow the configuration an author would use, which is the first part.
local programma = os.getenv('GS_PROGRAMMA')
local treno = os.getenv('GS_TRENO')
local esito = {}

-- The configuration (docs/authoring.md gives it from here to the test's steps): the sources
-- read and written as Windows-1252, the server started for them and attached to each one
-- opened, with keys for its hover, formatting and quick fixes, and its completion on Ctrl-X
-- Ctrl-O.
local client_id = vim.lsp.start_client({
  name = 'genera_scenario',
  cmd = { programma, 'lsp' },
  root_dir = vim.fn.getcwd(),
})
local sorgenti = { '*_linea.txt', '*-.txt' }
local codifiche
vim.api.nvim_create_autocmd('BufReadPre', {
  pattern = sorgenti,
  callback = function()
    codifiche = vim.o.fileencodings
    vim.o.fileencodings = 'cp1252'
  end,
})
vim.api.nvim_create_autocmd('BufReadPost', {
  pattern = sorgenti,
  callback = function(evento)
    vim.o.fileencodings = codifiche
    vim.lsp.buf_attach_client(evento.buf, client_id)
    vim.bo[evento.buf].omnifunc = 'v:lua.vim.lsp.omnifunc'
    local tasti = { buffer = evento.buf }
    vim.keymap.set('n', 'K', vim.lsp.buf.hover, tasti)
    vim.keymap.set('n', '<leader>f', vim.lsp.buf.formatting, tasti)
    vim.keymap.set('n', '<leader>a', vim.lsp.buf.code_action, tasti)
    vim.keymap.set('n', '<leader>o', vim.lsp.buf.document_symbol, tasti)
  end,
})

-- The test's steps.
local function fine(errore)
  esito.errore = errore
  local f = io.open(os.getenv('GS_ESITO'), 'w')
  f:write(vim.fn.json_encode(esito))
  f:close()
  vim.lsp.stop_client(client_id)
  vim.wait(2000, function() return vim.lsp.get_client_by_id(client_id) == nil end, 50)
  vim.cmd('qa!')
end

local ok, errore = pcall(function()
  vim.cmd('edit ' .. vim.fn.fnameescape(treno))
  local buf = vim.api.nvim_get_current_buf()
  esito.codifica = vim.bo[buf].fileencoding
  if not vim.wait(10000, function()
    local c = vim.lsp.get_client_by_id(client_id)
    return c ~= nil and c.initialized
  end, 20) then
    error('the server did not initialize')
  end
  -- The second station's name made accented, and a sand record with a mistake after it.
  local righe = vim.api.nvim_buf_get_lines(buf, 0, -1, false)
  local riga
  for i, r in ipairs(righe) do
    if r:find('^stazione,%s+6000') then riga = i - 1 end
  end
  local testo = righe[riga + 1]
  local nome = testo:find('BETA', 1, true) - 1
  vim.api.nvim_buf_set_text(buf, riga, nome, riga, #testo, { 'BÈTA, sabbia, 3O0' })
  if not vim.wait(10000, function() return #vim.diagnostic.get(buf) > 0 end, 20) then
    error('no diagnostic came after the mistake')
  end
  local d = vim.diagnostic.get(buf)[1]
  local linea = vim.api.nvim_buf_get_lines(buf, d.lnum, d.lnum + 1, false)[1]
  esito.diagnostiche = #vim.diagnostic.get(buf)
  esito.riga = d.lnum
  esito.attesa = riga
  esito.sotto = linea:sub(d.col + 1, d.end_col)
  esito.gravita = d.severity
  esito.codice = d.code or (d.user_data and d.user_data.lsp and d.user_data.lsp.code)
  esito.messaggio = d.message
  -- A hover on the mistake, as K asks for it.
  vim.api.nvim_win_set_cursor(0, { d.lnum + 1, d.col })
  local risposte = vim.lsp.buf_request_sync(buf, 'textDocument/hover',
    vim.lsp.util.make_position_params(), 10000) or {}
  for _, r in pairs(risposte) do
    if r.result and r.result.contents then esito.hover = r.result.contents.value end
  end
  -- The mistake taken away.
  local ora = vim.api.nvim_buf_get_lines(buf, riga, riga + 1, false)[1]
  vim.api.nvim_buf_set_text(buf, riga, nome, riga, #ora, { 'BETA' })
  esito.tolta = vim.wait(10000, function() return #vim.diagnostic.get(buf) == 0 end, 20)
end)
fine(ok and vim.NIL or tostring(errore))
