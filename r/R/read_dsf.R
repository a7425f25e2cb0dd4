# The moments of one data system file as R objects; see ?read_dsf.
read_dsf <- function(path, quiet = FALSE) {
  check_path(path, "path")
  check_flag(quiet, "quiet")
  read <- .Call(C_dsf2vemo_read, path.expand(path), path, getOption("OutDec"))
  if (!is.null(read$failure)) {
    stop(dsf2vemo_error(read$failure, input = path))
  }
  moments <- structure(read, class = "dsf_moments")
  if (!quiet) {
    for (finding in moments$findings) {
      warning(dsf2vemo_warning(path, finding))
    }
  }
  moments
}

print.dsf_moments <- function(x, ...) {
  p <- length(x$names)
  shown <- utils::head(x$names, 8L)
  more <- if (p > length(shown)) sprintf(", ... (%d more)", p - length(shown)) else ""
  cat(sprintf("<dsf_moments> %s\n", if (nzchar(x$header)) x$header else "(no header)"))
  cat(sprintf("%s cases, %d %s: %s%s\n", format(x$cases), p,
              if (p == 1L) "variable" else "variables",
              paste(shown, collapse = ", "), more))
  if (length(x$findings) > 0L) {
    cat("Findings:\n", paste0("  ", x$findings, "\n"), sep = "")
  }
  invisible(x)
}

summary.dsf_moments <- function(object, ...) {
  variances <- diag(object$cov)
  structure(
    list(
      header = object$header,
      cases = object$cases,
      variables = data.frame(
        variable = object$names,
        mean = unname(object$mean),
        variance = unname(variances),
        sd = standard_deviations(unname(variances)),
        stringsAsFactors = FALSE
      ),
      findings = object$findings
    ),
    class = "summary.dsf_moments"
  )
}

print.summary.dsf_moments <- function(x, ...) {
  cat(sprintf("<dsf_moments> %s\n%s cases, %d variables\n\n",
              if (nzchar(x$header)) x$header else "(no header)",
              format(x$cases), nrow(x$variables)))
  print(x$variables, row.names = FALSE, ...)
  if (length(x$findings) > 0L) {
    cat("\nFindings:\n", paste0("  ", x$findings, "\n"), sep = "")
  }
  invisible(x)
}

# NaN where a variance is negative: no standard deviation belongs to it.
standard_deviations <- function(variances) {
  sd <- rep(NaN, length(variances))
  ok <- !is.na(variances) & variances >= 0
  sd[ok] <- sqrt(variances[ok])
  sd
}
