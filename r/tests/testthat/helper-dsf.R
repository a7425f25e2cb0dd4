# Data system files made byte by byte, their doubles read back byte by byte, and dsf2vemo-cli to
# compare with where the test step names it (DSF2VEMO_CLI).

padded <- function(x, size, pad = as.raw(0x20)) {
  bytes <- if (is.raw(x)) x else charToRaw(x)
  c(bytes, rep(pad, size - length(bytes)))
}

dsf_bytes <- function(names, lower, means, cases = 150L, header = "", count = length(names),
                      pad = as.raw(0x20)) {
  c(padded(header, 64L, pad),
    writeBin(as.integer(c(cases, count)), raw(), size = 4L, endian = "little"),
    unlist(lapply(names, padded, size = 8L, pad = pad)),
    writeBin(as.double(c(lower, means)), raw(), size = 8L, endian = "little"))
}

write_dsf <- function(folder, name, bytes) {
  writeBin(bytes, file.path(folder, name))
  file.path(folder, name)
}

# The lower triangle mirrored and the means, as the file's bytes hold them.
file_moments <- function(path) {
  bytes <- readBin(path, raw(), n = file.size(path))
  p <- readBin(bytes[69:72], integer(), size = 4L, endian = "little")
  doubles <- function(from, n) {
    readBin(bytes[from + seq_len(8 * n)], double(), n, 8L, endian = "little")
  }
  full <- matrix(0, p, p)
  full[upper.tri(full, diag = TRUE)] <- doubles(72 + 8 * p, p * (p + 1) / 2)
  full[lower.tri(full)] <- t(full)[lower.tri(full)]
  list(cov = full, mean = doubles(72 + 8 * p + 4 * p * (p + 1), p))
}

cli_path <- function() Sys.getenv("DSF2VEMO_CLI")
skip_without_cli <- function() skip_if(!nzchar(cli_path()), "DSF2VEMO_CLI names no dsf2vemo-cli")

# Its status, and what it said on standard output and after "dsf2vemo-cli: KIND: " on standard
# error, KIND being error or warning.
run_cli <- function(args) {
  out <- withr::local_tempfile()
  err <- withr::local_tempfile()
  status <- system2(cli_path(), shQuote(args), stdout = out, stderr = err)
  said <- function(kind) {
    lines <- readLines(err, encoding = "UTF-8")
    prefix <- sprintf("dsf2vemo-cli: %s: ", kind)
    substring(lines[startsWith(lines, prefix)], nchar(prefix) + 1L)
  }
  list(status = status, out = readLines(out), error = said("error"), warnings = said("warning"))
}

# A NaN that is not R's own: its payload must come through.
nan_payload <- readBin(as.raw(c(0x23, 0x01, 0, 0, 0, 0, 0xF8, 0x7F)), double(), size = 8L,
                       endian = "little")
bits <- function(x) writeBin(as.vector(x), raw(), size = 8L, endian = "little")

# The files the project's tests make: the sample, NUL padding, high-bit names, correlations, values
# hard to write, one variable.
sample_files <- function(folder) {
  demo <- file.path(folder, "demo.dsf")
  file.copy(system.file("extdata", "demo.dsf", package = "dsf2vemo"), demo)
  six <- c(1.5, 0.3, 2.25, 0.1, 0.2, 3)
  list(
    demo = demo,
    nul_padding = write_dsf(folder, "nul_padding.dsf", dsf_bytes(
      list("X1", "X2", as.raw(c(0x41, 0, 0x42))), six, c(10, 20.5, -0.25), header = "NUL PADDED",
      pad = as.raw(0))),
    high_bit_names = write_dsf(folder, "high_bit_names.dsf", dsf_bytes(
      list(as.raw(c(0xE9, 0x74, 0xE9)), as.raw(c(0x6E, 0x61, 0xEF, 0x76, 0x65)),
           as.raw(c(0x78, 0x81, 0x79))), six, c(10, 20.5, 1e-7),
      header = as.raw(c(0xC9, charToRaw("tudes "), 0x80, 0x20, 0xA9, charToRaw(" 2000"))))),
    correlations = write_dsf(folder, "correlations.dsf", dsf_bytes(
      c("A", "B", "C"), c(1, 0.5, 1, 0.25, 0.4, 1), c(0, 0, 0), header = "KM")),
    exact_values = write_dsf(folder, "exact_values.dsf", dsf_bytes(
      LETTERS[1:5], c(0.1 + 0.2, 1e-310, -0, 1e300, 123456789012345678, 9.8765432109876543e19,
                      2 / 3, -1.5e15, 5e-324, 1e22, 0.5, 2, -7.25e-8, 1 / 3, 1e-5),
      c(10, 20.5, -0, 1.7976931348623157e308, nan_payload), header = "READ BACK")),
    one_variable = write_dsf(folder, "one_variable.dsf", dsf_bytes("ONLY", 4, 1, cases = 2L))
  )
}
